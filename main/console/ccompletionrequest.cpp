#include "main/console/ccompletionrequest.h"

#include "platform/octavequote.h"

const QString& CCompletionRequest::Delimiters()
{
    static const QString set = QStringLiteral("([{)]} <>=+-*/\\&|;,.:@\"'");
    return set;
}

CCompletionRequest CCompletionRequest::Build(const QString& textBeforeCaret, int selectionEnd)
{
    CCompletionRequest request;
    int start = static_cast<int>(textBeforeCaret.size());
    // A line break ends a token as well: a pasted command line may hold several.
    while (start > 0 && !Delimiters().contains(textBeforeCaret.at(start - 1)) &&
           textBeforeCaret.at(start - 1) != QLatin1Char('\n') && textBeforeCaret.at(start - 1) != QLatin1Char('\r'))
        --start;
    request.token = textBeforeCaret.mid(start);
    request.replaceEnd = selectionEnd;
    request.replaceStart = selectionEnd - static_cast<int>(request.token.size());
    // The token holds no quote or line break (both end a token), so quoting
    // cannot fail; it still goes through the quoting rule like every name.
    request.statement = QStringLiteral("completion_matches(%1)###")
                            .arg(QString::fromStdString(OctaveQuoted(request.token.toStdString())));
    return request;
}
