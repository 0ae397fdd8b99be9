#include "toolkit/error_log.h"

#include <QFile>

namespace kesp {
namespace {

constexpr char kLogTitle[] = "Varnel Kesp 2.0 - Error Log";

QByteArray LogHead() {
    const QByteArray title = kLogTitle;
    return "<HTML><HEAD><TITLE>" + title +
           "</TITLE>\r\n"
           "<STYLE>\r\n"
           "body { font-family: Arial, sans-serif; font-size: 10pt; }\r\n"
           "h1 { font-size: 14pt; }\r\n"
           ".updated { font-weight: bold; color: #800000; margin: 0; }\r\n"
           "</STYLE></HEAD>\r\n"
           "<BODY>\r\n"
           "<H1 ALIGN=CENTER>" +
           title +
           "</H1>\r\n"
           "<HR>\r\n";
}

QByteArray Line(const QString& html) {
    return html.toLatin1() + "<BR>\r\n";
}

}  // namespace

QString HtmlEscaped(const QString& text) {
    QString escaped;
    escaped.reserve(text.size());
    // By code point, so a character beyond the basic plane becomes one entity.
    for (const char32_t c : text.toUcs4()) {
        switch (c) {
            case '&':
                escaped += QLatin1String("&amp;");
                break;
            case '<':
                escaped += QLatin1String("&lt;");
                break;
            case '>':
                escaped += QLatin1String("&gt;");
                break;
            case '"':
                escaped += QLatin1String("&quot;");
                break;
            case '\'':
                escaped += QLatin1String("&#39;");
                break;
            default:
                if (c < 0x20 && c != '\t')
                    escaped += QLatin1Char(' ');
                else if (c > 0x7e)
                    escaped += QStringLiteral("&#%1;").arg(static_cast<quint32>(c));
                else
                    escaped += QChar(static_cast<char16_t>(c));
        }
    }
    return escaped;
}

bool AppendErrorLogEntry(const QString& path, const QString& date, const QString& time,
                         const QString& faultText, const QStringList& calledFromLines) {
    QFile log(path);
    const bool isNew = !log.exists() || log.size() == 0;
    if (!log.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered)) return false;
    const qint64 before = log.size();

    QByteArray entry;
    if (isNew) entry += LogHead();
    entry += Line(QStringLiteral("<p class=\"updated\">Date:") + HtmlEscaped(date) +
                  QStringLiteral("  Time: ") + HtmlEscaped(time));
    entry += Line(HtmlEscaped(faultText) + QStringLiteral("</p>"));
    for (const QString& line : calledFromLines)
        entry += Line(HtmlEscaped(line));
    entry += "<HR>\r\n";

    if (log.write(entry) == entry.size() && log.flush()) return true;
    // A half-written entry would spoil the entries after it.
    log.resize(before);
    if (isNew && before == 0) log.remove();
    return false;
}

}  // namespace kesp
