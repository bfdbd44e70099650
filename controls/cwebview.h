#pragma once

#include <QString>
#include <QUrl>
#include <QWebEngineView>

#include <functional>

// A web view for pages the programs write themselves (documentation,
// comparison reports, profiles). Every navigation the page starts, be it a
// click on a link or a script, passes through the before-navigate hook
// first: when the hook returns true it has handled the address and the
// navigation is cancelled.
class CWebView : public QWebEngineView {
    Q_OBJECT
public:
    using NavigateHook = std::function<bool(const QUrl&)>;

    explicit CWebView(QWidget* parent = nullptr);

    void SetBeforeNavigate(NavigateHook hook);

    // Writes html (UTF-8) as fileName into the private temporary folder of
    // this process and returns false when it cannot be written. fileName is a
    // plain file name; anything holding a folder part is refused.
    static bool SetPrivatePage(const QString& fileName, const QString& html);

    // The file address of fileName in the private temporary folder.
    static QUrl PrivatePageUrl(const QString& fileName);

    // Writes the page and shows it; false when it cannot be written.
    bool ShowPrivatePage(const QString& fileName, const QString& html);

private:
    class CPage;
    NavigateHook m_hook;

    friend class CPage;
    bool BeforeNavigate(const QUrl& url);
};
