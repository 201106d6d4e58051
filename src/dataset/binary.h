// Little-endian field access and Windows-1251 texts inside fixed-length records.
#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <cstring>

namespace urbica {

inline int16_t getI16(const char* p) {
    uint16_t v = uint16_t(uint8_t(p[0])) | uint16_t(uint16_t(uint8_t(p[1])) << 8);
    return int16_t(v);
}
inline uint16_t getU16(const char* p) { return uint16_t(getI16(p)); }
inline int32_t getI32(const char* p) {
    uint32_t v = uint32_t(uint8_t(p[0])) | (uint32_t(uint8_t(p[1])) << 8) |
                 (uint32_t(uint8_t(p[2])) << 16) | (uint32_t(uint8_t(p[3])) << 24);
    return int32_t(v);
}
inline float getF32(const char* p) {
    uint32_t v = uint32_t(getI32(p));
    float f;
    std::memcpy(&f, &v, 4);
    return f;
}

inline void putI16(char* p, int16_t value) {
    uint16_t v = uint16_t(value);
    p[0] = char(v & 0xFF);
    p[1] = char(v >> 8);
}
inline void putI32(char* p, int32_t value) {
    uint32_t v = uint32_t(value);
    for (int i = 0; i < 4; ++i) p[i] = char((v >> (8 * i)) & 0xFF);
}
inline void putF32(char* p, float f) {
    uint32_t v;
    std::memcpy(&v, &f, 4);
    putI32(p, int32_t(v));
}

// Windows-1251 <-> QString. Bytes without a character in the code page (0x98)
// become U+FFFD; characters outside the code page are written as '?'.
QString fromCp1251(const char* p, int len);
QByteArray toCp1251(const QString& s);

// A fixed-length text field: decoded as stored (blanks kept). Callers trim on use.
inline QString getText(const char* p, int len) { return fromCp1251(p, len); }
// Decodes len bytes of code page 1251 into out.
void decodeCp1251(const char* p, qsizetype len, QChar* out);
// Writes s into a field of len bytes, cut or padded with blanks.
void putText(char* p, int len, const QString& s);

// Upper case as the Windows-1251 code page knows it (Latin and Cyrillic letters, Ё).
QString upperCp1251(const QString& s);
// toCp1251(upperCp1251(s)) in one pass.
QByteArray upperToCp1251(const QString& s);

}  // namespace urbica
