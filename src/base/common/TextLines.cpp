#include "base/common/TextLines.h"

namespace kestrova {

QStringList firstLines(const QString& text, int count) {
    QStringList lines;
    qsizetype start = 0;
    while (start < text.size() && lines.size() < count) {
        qsizetype end = start;
        while (end < text.size() && text[end] != u'\r' && text[end] != u'\n') {
            ++end;
        }
        lines.append(text.mid(start, end - start));
        if (end + 1 < text.size() && text[end] == u'\r' && text[end + 1] == u'\n') {
            ++end;
        }
        start = end + 1;
    }
    return lines;
}

} // namespace kestrova
