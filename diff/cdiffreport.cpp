#include "diff/cdiffreport.h"

#include "diff/cfilepartition.h"
#include "diff/memoryhint.h"

#include <charconv>

namespace {

const char* const TextColour = "#444444";
const char* const TableBackground = "white";
const char* const ChangedColour = "#FFFF66";
const char* const AddedColour = "#99FF99";
const char* const DeletedColour = "#FFCCCC";

void AppendNumber(std::string& out, int value)
{
    char buffer[16];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, result.ptr);
}

const char* ClassAttribute(LineStatus status)
{
    switch (status) {
    case Changed:
        return " class='C'";
    case Added:
        return " class='A'";
    case Deleted:
        return " class='D'";
    default:
        return "";
    }
}

void AppendHeaderLink(std::string& out, const std::string& name, const std::string& href)
{
    out += "<a href=\"";
    out += href;
    out += "&nbsp;fileline0\">";
    out += CDiffReport::EscapeText(name);
    out += "</a>";
}

// "<b>n </b>", linked to the file and line when the line differs.
void AppendLineNumber(std::string& out, LineStatus status, int number, int anchor,
                      const std::string& href)
{
    if (status == Unchanged) {
        out += "<b>";
        AppendNumber(out, number);
        out += " </b>";
        return;
    }
    out += "<a ";
    if (anchor >= 0) {
        out += "name=";
        AppendNumber(out, anchor);
        out += ' ';
    }
    out += "href=\"";
    out += href;
    out += "&nbsp;fileline";
    AppendNumber(out, number);
    out += "\"><b>";
    AppendNumber(out, number);
    out += " </b></a>";
}

} // namespace

int CDiffReport::CountDifferences(const CFilePartition& left, const CFilePartition& right)
{
    int added = 0, changed = 0, deleted = 0;
    left.CountRuns(added, changed, deleted);
    int total = added + changed + deleted;
    // A changed run shows on both sides; it counts once.
    right.CountRuns(added, changed, deleted);
    return total + added + deleted;
}

namespace {

// The entity that stands for a character with a meaning in markup or in a
// quoted attribute; null for any other character.
const char* MarkupEntity(char c)
{
    switch (c) {
    case '<':
        return "&lt;";
    case '>':
        return "&gt;";
    case '&':
        return "&amp;";
    case '"':
        return "&quot;";
    case '\'':
        return "&#39;";
    default:
        return nullptr;
    }
}

// Length of the well-formed UTF-8 sequence at text[i]; 0 when there is none.
size_t Utf8Length(std::string_view text, size_t i)
{
    const auto byte = [&text](size_t at) { return static_cast<unsigned char>(text[at]); };
    const unsigned char lead = byte(i);
    size_t length = 0;
    unsigned char low = 0x80, high = 0xBF;  // the allowed range of the second byte
    if (lead < 0x80)
        return 1;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (i + length > text.size() || byte(i + 1) < low || byte(i + 1) > high)
        return 0;
    for (size_t k = 2; k < length; ++k) {
        if (byte(i + k) < 0x80 || byte(i + k) > 0xBF)
            return 0;
    }
    return length;
}

// The page is UTF-8. A line in another encoding (the other file may be a
// Latin-1 copy of this one) keeps its characters: each byte that is not part
// of a UTF-8 sequence is taken as the Latin-1 character of that code.
void AppendAsUtf8(std::string& out, std::string_view text)
{
    size_t i = 0;
    while (i < text.size()) {
        size_t plain = i;
        for (size_t length; plain < text.size() && (length = Utf8Length(text, plain)) > 0;)
            plain += length;
        out.append(text.data() + i, plain - i);
        if (plain == text.size())
            break;
        const unsigned char c = static_cast<unsigned char>(text[plain]);
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
        i = plain + 1;
    }
}

} // namespace

void CDiffReport::AppendEscapedLine(std::string& out, std::string_view text)
{
    if (text.empty()) {
        out += "&nbsp;";
        return;
    }
    size_t i = 0;
    for (; i < text.size(); ++i) {
        if (text[i] == ' ')
            out += "&nbsp;";
        else if (text[i] == '\t')
            out += "&nbsp;&nbsp;&nbsp;&nbsp;";
        else
            break;
    }
    // Copies the plain stretches whole; lines are mostly plain.
    while (i < text.size()) {
        const size_t special = text.find_first_of(std::string_view("<>&\0", 4), i);
        const size_t stop = special == std::string_view::npos ? text.size() : special;
        AppendAsUtf8(out, text.substr(i, stop - i));
        if (stop == text.size())
            break;
        // A NUL byte is not allowed in a page; it shows as the replacement mark.
        const char* entity = MarkupEntity(text[stop]);
        out += entity ? entity : "&#65533;";
        i = stop + 1;
    }
}

std::string CDiffReport::EscapeText(const std::string& text)
{
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        if (const char* entity = MarkupEntity(c))
            out += entity;
        else
            out += c;
    }
    return out;
}

std::string CDiffReport::EscapeHref(const std::string& text)
{
    static const char hex[] = "0123456789ABCDEF";
    std::string encoded;
    encoded.reserve(text.size());
    for (const char c : text) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (c == '%' || c == '#' || c == '?' || c == '\\' || u < 0x20 || u == 0x7F) {
            encoded += '%';
            encoded += hex[u >> 4];
            encoded += hex[u & 15];
        } else {
            encoded += c;
        }
    }
    return EscapeText(encoded);
}

std::string CDiffReport::DecodeHref(std::string_view raw)
{
    if (!raw.empty() && raw.front() == '"')
        raw.remove_prefix(1);
    static const std::pair<std::string_view, char> entities[] = {
        {"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&#39;", '\''}};
    std::string plain;
    for (size_t i = 0; i < raw.size(); ++i) {
        char c = raw[i];
        if (c == '&') {
            for (const auto& [entity, byte] : entities) {
                if (raw.substr(i, entity.size()) == entity) {
                    c = byte;
                    i += entity.size() - 1;
                    break;
                }
            }
        }
        plain += c;
    }
    const auto hexValue = [](char h) {
        return h >= '0' && h <= '9' ? h - '0' : (h >= 'A' && h <= 'F' ? h - 'A' + 10 : (h >= 'a' && h <= 'f' ? h - 'a' + 10 : -1));
    };
    std::string name;
    for (size_t i = 0; i < plain.size(); ++i) {
        if (plain[i] == '%' && i + 2 < plain.size() && hexValue(plain[i + 1]) >= 0 && hexValue(plain[i + 2]) >= 0) {
            name += static_cast<char>(hexValue(plain[i + 1]) * 16 + hexValue(plain[i + 2]));
            i += 2;
        } else {
            name += plain[i];
        }
    }
    return name;
}

std::string CDiffReport::FormatLongTime(time_t time)
{
    static const char* const days[] = {"Sunday", "Monday", "Tuesday", "Wednesday",
                                       "Thursday", "Friday", "Saturday"};
    static const char* const months[] = {"January", "February", "March", "April",
                                         "May", "June", "July", "August",
                                         "September", "October", "November", "December"};
    std::tm local{};
    if (!localtime_r(&time, &local))
        return std::string();
    char buffer[96];
    std::snprintf(buffer, sizeof buffer, "%s, %s %02d, %d %02d:%02d:%02d", days[local.tm_wday % 7],
                  months[local.tm_mon % 12], local.tm_mday, local.tm_year + 1900, local.tm_hour,
                  local.tm_min, local.tm_sec);
    return buffer;
}

std::string CDiffReport::Build(const CFilePartition& left, const CFilePartition& right,
                               const std::string& time1, const std::string& time2,
                               const std::string& link1, const std::string& link2)
{
    const std::string& name1 = left.GetName();
    const std::string& name2 = right.GetName();
    const std::string href1 = EscapeHref(link1.empty() ? name1 : link1);
    const std::string href2 = EscapeHref(link2.empty() ? name2 : link2);
    const int count = left.GetLineCount();

    std::string out;
    size_t textBytes = 0;
    for (int i = 0; i < count; ++i)
        textBytes += left.LineView(i).size() + right.LineView(i).size();
    // Room for the longest row shape; pages never written are never touched.
    out.reserve(4096 + 2 * (name1.size() + name2.size()) + textBytes +
                static_cast<size_t>(count) * (240 + href1.size() + href2.size()));
    AdviseHugePages(out.data(), out.capacity());

    out += "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.0 Transitional//EN\">\r\n<HTML>\r\n<HEAD>\r\n"
           "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">\r\n"
           "<TITLE> Comparison Tool - ";
    out += EscapeText(name1);
    out += "&nbsp;vs ";
    out += EscapeText(name2);
    out += "</TITLE>\r\n<style type='text/css'>\r\n<!--\r\n.N { background-color:white; }\r\n"
           ".C { background-color:";
    out += ChangedColour;
    out += "; }\r\n.A { background-color:";
    out += AddedColour;
    out += "; }\r\n.D { background-color:";
    out += DeletedColour;
    out += "; }\r\n-->\r\n</style>\r\n</HEAD>\r\n\r\n<BODY BGCOLOR='#FFFFFF'>\r\n\r\n";

    const int differences = CountDifferences(left, right);
    if (differences > 0) {
        out += "<font size=\"2\" face=\"arial\">";
        AppendNumber(out, differences);
        out += " differences found.</font><hr>";
    } else {
        out += "<font size=\"2\" face=\"verdana\">Files are identical.</font>";
    }

    out += "<table border=0 bgcolor=0 cellpadding=0 cellspacing=0 width=100%><tr><td>\r\n"
           "<table width=100% bgcolor=white border=0 cellpadding=0 cellspacing=0>\r\n"
           "<tr bgColor='#EEEEEE' style='color:0'><td width=50%></td><td width=50%>"
           "<tr bgColor='#EEEEEE' style='color:0'><td width=50%><font size=\"2\" face=\"arial\">";
    AppendHeaderLink(out, name1, href1);
    out += "</font></td><td width=50%><font size=\"2\" face=\"arial\">";
    AppendHeaderLink(out, name2, href2);
    out += "</font></td></tr>\n<tr bgColor='#EEEEEE' style='color:0'><td width=50%>"
           "<font size=\"2\" face=\"arial\">";
    out += time1;
    out += "</font></td><td width=50%><font size=\"2\" face=\"arial\">";
    out += time2;
    out += "</font></td></tr>\n</table>\r\n</td></tr>\r\n</table>\r\n\r\n<br>\r\n\r\n";

    const bool hasLines = left.GetLineCount() > 0 || right.GetLineCount() > 0;
    if (hasLines) {
        out += "<table border=0 bgcolor=0 cellpadding=0 cellspacing=1 width=100%><tr><td>"
               "<table id='maintable' width=100% bgcolor='";
        out += TableBackground;
        out += "' cellpadding=0 cellspacing=0 border=0 style='color:";
        out += TextColour;
        out += ";font-family: Courier New, Helvetica, sans-serif; font-size: 11'>\r\n";
    } else {
        out += "<br>empty files";
    }

    int number = 0;
    int leftLine = 1;
    int rightLine = 1;
    int previous = Unchanged;
    for (int i = 0; i < count; ++i) {
        const LineStatus sl = left.GetLineStatus(i);
        const LineStatus sr = right.GetLineStatus(i);
        if ((sl != Unchanged && sl != previous) || (sr != Unchanged && sr != previous))
            ++number;

        if (sr == Added) {
            out += "<tr><td width=50%><a name=";
            AppendNumber(out, number);
            out += ">&nbsp;- </a></td>";
        } else {
            out += "<tr><td width=50%";
            out += ClassAttribute(sl);
            out += '>';
            AppendLineNumber(out, sl, leftLine, number, href1);
            out += ' ';
            AppendEscapedLine(out, left.LineView(i));
            out += "</td>";
            ++leftLine;
        }

        if (sl == Deleted) {
            out += "<td width=50%>&nbsp;- </td></tr>\n";
        } else {
            out += "<td width=50%";
            out += ClassAttribute(sr);
            out += '>';
            AppendLineNumber(out, sr, rightLine, -1, href2);
            out += ' ';
            AppendEscapedLine(out, right.LineView(i));
            out += "</td></tr>\n";
            ++rightLine;
        }

        if (sl == Deleted || sl == Changed)
            previous = sl;
        else if (sr == Added)
            previous = Added;
        else
            previous = Unchanged;
    }

    if (left.GetLineCount() > 0 && right.GetLineCount() > 0)
        out += "</table></td></tr></table>\r\n";
    out += "</BODY>\r\n</HTML>\r\n";
    return out;
}
