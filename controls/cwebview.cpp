#include "controls/cwebview.h"

#include "platform/appfolders.h"

#include <QFile>
#include <QSaveFile>
#include <QWebEnginePage>

// The page forwards every navigation request to its view's hook.
class CWebView::CPage : public QWebEnginePage {
public:
    CPage(CWebView* view) : QWebEnginePage(view), m_view(view) {}

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType, bool isMainFrame) override
    {
        if (!isMainFrame)
            return true;
        return !m_view->BeforeNavigate(url);
    }

private:
    CWebView* m_view;
};

CWebView::CWebView(QWidget* parent) : QWebEngineView(parent)
{
    setPage(new CPage(this));
}

void CWebView::SetBeforeNavigate(NavigateHook hook)
{
    m_hook = std::move(hook);
}

bool CWebView::BeforeNavigate(const QUrl& url)
{
    return m_hook && m_hook(url);
}

static bool IsPlainFileName(const QString& fileName)
{
    return !fileName.isEmpty() && !fileName.contains(QLatin1Char('/')) &&
           !fileName.contains(QLatin1Char('\\')) && fileName != QLatin1String(".") &&
           fileName != QLatin1String("..");
}

bool CWebView::SetPrivatePage(const QString& fileName, const QString& html)
{
    if (!IsPlainFileName(fileName))
        return false;
    QSaveFile file(AppFolders::PrivateTempFolder() + QLatin1Char('/') + fileName);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(html.toUtf8());
    return file.commit();
}

QUrl CWebView::PrivatePageUrl(const QString& fileName)
{
    return QUrl::fromLocalFile(AppFolders::PrivateTempFolder() + QLatin1Char('/') + fileName);
}

bool CWebView::ShowPrivatePage(const QString& fileName, const QString& html)
{
    if (!SetPrivatePage(fileName, html))
        return false;
    load(PrivatePageUrl(fileName));
    return true;
}
