#include "main/profiler/cprofilelink.h"

#include <QUrl>

#include <cstdlib>

#include "main/profiler/cprofilereport.h"

namespace {

bool StartsWith(const std::string& text, const char* prefix)
{
    return text.rfind(prefix, 0) == 0;
}

std::string Decoded(const std::string& text)
{
    return QUrl::fromPercentEncoding(QByteArray::fromStdString(text)).toStdString();
}

}  // namespace

CProfileLink CProfileLink::FromUrl(const QUrl& url)
{
    const std::string path = url.path(QUrl::FullyEncoded).toStdString();
    const std::string last = path.substr(path.rfind('/') + 1);
    CProfileLink link;
    static const struct {
        const char* name;
        int mode;
    } kSorts[] = {{"sortby_totaltime", CProfileReport::ByTotalTime},
                  {"sortby_function", CProfileReport::ByFunction},
                  {"sortby_calls", CProfileReport::ByCalls},
                  {"sortby_selftime", CProfileReport::BySelfTime}};
    for (const auto& sort : kSorts) {
        if (last == sort.name) {
            link.kind = Sort;
            link.sortMode = sort.mode;
            return link;
        }
    }
    if (StartsWith(last, "backfunction_")) {
        link.kind = Back;
        link.count = std::atoi(last.c_str() + last.rfind('_') + 1);
        return link;
    }
    if (StartsWith(last, "function_")) {
        const std::size_t amp = last.find('&');
        const std::size_t from = sizeof("function_") - 1;
        link.kind = Descend;
        link.key = Decoded(last.substr(from, amp == std::string::npos ? std::string::npos : amp - from));
        link.description = amp == std::string::npos ? std::string() : Decoded(last.substr(amp + 1));
    }
    return link;
}
