#include "dataset/linefile.h"

namespace urbica {

bool forEachLineAfterHeader(
    QByteArrayView bytes, const char* header, qsizetype maxLine, LineFileError& bad,
    const std::function<bool(int64_t line, QByteArrayView text, QString& why)>& take) {
    auto damaged = [&](int64_t line, QString why) {
        bad.line = line;
        bad.why = std::move(why);
        return false;
    };
    QByteArrayView rest(bytes);
    int64_t line = 0;
    while (!rest.isEmpty()) {
        ++line;
        const qsizetype end = rest.indexOf('\n');
        if (end < 0) return damaged(line, QStringLiteral("нет конца строки"));
        const QByteArrayView text = rest.first(end);
        rest = rest.sliced(end + 1);
        if (text.size() > maxLine) return damaged(line, QStringLiteral("слишком длинная строка"));
        if (line == 1) {
            if (text != QByteArrayView(header))
                return damaged(line, QStringLiteral("неизвестный заголовок"));
            continue;
        }
        QString why;
        if (!take(line, text, why)) return damaged(line, std::move(why));
    }
    if (line == 0) return damaged(1, QStringLiteral("файл пуст"));
    return true;
}

QString lineFileProblem(const QString& what, const QString& name, const LineFileError& bad,
                        const QString& consequence) {
    return QStringLiteral("Файл %1 %2 повреждён (строка %3: %4); %5")
        .arg(what, name, QString::number(bad.line), bad.why, consequence);
}

}  // namespace urbica
