#pragma once

// The main program's widget tests: waiting, answering modal boxes and the
// test main, from the shared test support (tests/support).

#include <QTest>

#include <functional>

#include "tests/support/cmodalanswerer.h"
#include "tests/support/cprivatehome.h"
#include "tests/support/widgettestmain.h"

namespace kestrunetest {

using ModalAnswerer = CModalAnswerer;

inline QString UsePrivateHome()
{
    return CPrivateHome::Use();
}

inline bool WaitFor(const std::function<bool()>& condition, int timeoutMs = 10000)
{
    return QTest::qWaitFor(condition, timeoutMs);
}

}  // namespace kestrunetest
