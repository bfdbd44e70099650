#include "main/console/cconsolesink.h"

#include <QApplication>

#include <algorithm>

CConsoleSink::CConsoleSink(CKestruneView* view, QObject* parent) : QObject(parent), m_view(view), m_guiView(view) {}

int CConsoleSink::CharOffset(const std::string& text, std::size_t byteOffset)
{
    byteOffset = std::min(byteOffset, text.size());
    int chars = 0;
    for (std::size_t i = 0; i < byteOffset; ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if ((c & 0xC0) != 0x80)
            chars += (c >= 0xF0) ? 2 : 1;  // four-byte sequences are surrogate pairs
    }
    return chars;
}

void CConsoleSink::ConsoleWrite(const std::string& text, const std::vector<CTextSpan>& spans, int maxLines)
{
    std::vector<CKestruneView::Span> converted;
    converted.reserve(spans.size());
    for (const CTextSpan& span : spans) {
        CKestruneView::Span out;
        out.start = CharOffset(text, span.start);
        out.length = CharOffset(text, span.start + span.length) - out.start;
        out.kind = span.kind == CTextSpan::Error  ? CKestruneView::Span::Error
                   : span.kind == CTextSpan::Link ? CKestruneView::Span::Link
                                                  : CKestruneView::Span::Bold;
        converted.push_back(out);
    }
    m_view->PostWrite(QString::fromStdString(text), converted, maxLines);
}

void CConsoleSink::ConsoleEcho(const std::string& text)
{
    m_view->PostEcho(QString::fromStdString(text));
}

void CConsoleSink::ConsoleReset(const std::string& text)
{
    m_view->PostReset(QString::fromStdString(text));
}

void CConsoleSink::ConsoleReplace(const std::string& oldText, const std::string& newText)
{
    m_view->PostReplace(QString::fromStdString(oldText), QString::fromStdString(newText));
}

void CConsoleSink::ConsoleCaretToEnd()
{
    m_view->PostCaretToEnd();
}

void CConsoleSink::ConsoleSetReadOnly(bool readOnly)
{
    QMetaObject::invokeMethod(this, [this, readOnly] {
        if (!m_guiView)
            return;
        m_guiView->FlushPending();
        m_guiView->setReadOnly(readOnly);
        if (!readOnly) {
            m_guiView->setTextInteractionFlags(Qt::TextEditorInteraction);
            m_guiView->ReleaseTypeAhead();
        }
    }, Qt::QueuedConnection);
}

void CConsoleSink::ConsoleSetBusy(bool)
{
    // The status bar's timer shows the busy state.
}

void CConsoleSink::Beep()
{
    QMetaObject::invokeMethod(this, [] { QApplication::beep(); }, Qt::QueuedConnection);
}
