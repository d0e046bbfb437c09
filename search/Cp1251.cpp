#include "Cp1251.h"

namespace bukvotok {

const char16_t kCp1251HighHalf[128] = {
    // 0x80
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,  //
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,  //
    // 0x90
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  //
    0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,  //
    // 0xA0
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7,  //
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,  //
    // 0xB0
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,  //
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,  //
    // 0xC0-0xFF: the Russian alphabet, А to я, in order
    0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417,  //
    0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F,  //
    0x0420, 0x0421, 0x0422, 0x0423, 0x0424, 0x0425, 0x0426, 0x0427,  //
    0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F,  //
    0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437,  //
    0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E, 0x043F,  //
    0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447,  //
    0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F,  //
};

char UnicodeToCp1251(char32_t code_point) {
    if (code_point < 0x80) return static_cast<char>(code_point);
    if (code_point >= 0x0410 && code_point <= 0x044F) {
        return static_cast<char>(0xC0 + (code_point - 0x0410));
    }
    for (unsigned i = 0; i < 0x40; ++i) {
        if (kCp1251HighHalf[i] == code_point) return static_cast<char>(0x80 + i);
    }
    return '?';
}

std::string Cp1251ToUtf8(std::string_view cp1251) {
    std::string utf8;
    utf8.reserve(cp1251.size() * 2);
    for (const char c : cp1251) {
        const char16_t u = Cp1251ToUnicode(static_cast<unsigned char>(c));
        if (u < 0x80) {
            utf8 += static_cast<char>(u);
        } else if (u < 0x800) {
            utf8 += static_cast<char>(0xC0 | (u >> 6));
            utf8 += static_cast<char>(0x80 | (u & 0x3F));
        } else {
            utf8 += static_cast<char>(0xE0 | (u >> 12));
            utf8 += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
            utf8 += static_cast<char>(0x80 | (u & 0x3F));
        }
    }
    return utf8;
}

Utf8Step DecodeUtf8(std::string_view text) {
    const auto lead = static_cast<unsigned char>(text[0]);
    Utf8Step step;
    if (lead < 0x80) {
        step.code_point = lead;
        step.well_formed = true;
        return step;
    }
    // The length a lead byte announces and the range its second byte must fall in: the narrow
    // ranges after E0, ED, F0 and F4 are what rule out overlong forms, surrogates and values
    // beyond U+10FFFF.
    std::size_t length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) low = 0xA0;
        if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;
    } else {
        return step;
    }
    char32_t code_point = lead & (0x7Fu >> length);
    for (std::size_t k = 1; k < length; ++k) {
        if (k >= text.size()) return step;
        const auto next = static_cast<unsigned char>(text[k]);
        if (next < low || next > high) return step;
        code_point = (code_point << 6) | (next & 0x3Fu);
        step.length = k + 1;
        low = 0x80;
        high = 0xBF;
    }
    step.code_point = code_point;
    step.well_formed = true;
    return step;
}

std::string Utf8ToCp1251(std::string_view utf8) {
    std::string bytes;
    bytes.reserve(utf8.size());
    std::size_t i = 0;
    while (i < utf8.size()) {
        const Utf8Step step = DecodeUtf8(utf8.substr(i));
        bytes += step.well_formed ? UnicodeToCp1251(step.code_point) : '?';
        i += step.length;
    }
    return bytes;
}

}  // namespace bukvotok
