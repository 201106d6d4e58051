// Small helpers the name readers and the text search share.
#pragma once

#include <QString>
#include <cstdint>

#include "dataset/names.h"

namespace urbica::names_shared {

// Pending events run this often while long lists are read.
inline constexpr int kEventsEvery = 1024;

// Names are trimmed of blanks only, as they were padded.
inline QString trimBlanks(const QString& s) {
    qsizetype b = 0, e = s.size();
    while (b < e && s.at(b) == QLatin1Char(' ')) ++b;
    while (e > b && s.at(e - 1) == QLatin1Char(' ')) --e;
    return (b == 0 && e == s.size()) ? s : s.mid(b, e - b);
}

inline bool classInTable(const NameContext& ctx, int64_t c) {
    return c >= 1 && c <= ctx.tables.classCount();
}

inline const ClassRecord& classRecord(const NameContext& ctx, int c) {
    return ctx.tables.classes[size_t(c)];
}

inline void setError(QString* error, const QString& text) {
    if (error) *error = text;
}

}  // namespace urbica::names_shared
