#include "main/comparison/cdiffreportfacts.h"

#include "diff/cdiffreport.h"

#include <QFile>

bool CDiffReportFacts::Read(const QString& reportPath)
{
    QFile file(reportPath);
    return file.open(QIODevice::ReadOnly) && Parse(file.readAll());
}

bool CDiffReportFacts::Parse(const QByteArray& report)
{
    QByteArray joined = report;
    joined.replace("\r", "").replace("\n", "");
    // The two header links are the first two "href=" of the page; each name
    // runs up to "&nbsp;".
    const int firstLink = joined.indexOf("href=");
    const int secondLink = firstLink < 0 ? -1 : joined.indexOf("href=", firstLink + 5);
    if (secondLink < 0)
        return false;
    const auto name = [&joined](int link, int limit) {
        const int start = link + 5;
        int end = joined.indexOf("&nbsp;", start);
        if (end < 0 || end > limit)
            end = limit;
        return QString::fromStdString(CDiffReport::DecodeHref(joined.mid(start, end - start).toStdString()));
    };
    const int thirdLink = joined.indexOf("href=", secondLink + 5);
    first = name(firstLink, secondLink);
    second = name(secondLink, thirdLink < 0 ? int(joined.size()) : thirdLink);

    // "<font ...>12 differences found.</font>"; "Files are identical." has none.
    differences = 0;
    const QByteArray summary = joined.left(firstLink);
    const int found = summary.indexOf("differences found");
    if (found >= 0) {
        const QByteArray before = summary.left(found);
        differences = before.mid(before.lastIndexOf('>') + 1).trimmed().toInt();
    }
    return true;
}
