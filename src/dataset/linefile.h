// The text files our dataset writers add beside the records (names, kinds of
// places): lines each ended by '\n', the first one a header naming the file's
// form and version.
#pragma once

#include <QByteArrayView>
#include <QString>
#include <cstdint>
#include <functional>

namespace urbica {

struct LineFileError {
    int64_t line = 0;
    QString why;
};

// Hands every line after the header to take (its number from 1 for the header,
// its text without '\n'). False at the first line without its end, longer than
// maxLine, a header other than the given one, or one take refuses (take says
// why); an empty file is refused as line 1.
bool forEachLineAfterHeader(
    QByteArrayView bytes, const char* header, qsizetype maxLine, LineFileError& bad,
    const std::function<bool(int64_t line, QByteArrayView text, QString& why)>& take);

// "Файл WHAT NAME повреждён (строка N: WHY); CONSEQUENCE": the message that
// names a damaged line file and says what is done without it.
QString lineFileProblem(const QString& what, const QString& name, const LineFileError& bad,
                        const QString& consequence);

}  // namespace urbica
