// Seeded random word lists for comparing the fast code with the plain models, drawn over every
// kind of byte a dictionary line can hold: the letters the search draws (а-ю), я, the capitals
// that fold onto them, ё and Ё, Latin letters and any other byte but the line ends.  Each list
// uses a few of them, so that prefixes collide and walks run deep; a test that cycles `letter`
// through 224-255 has every small letter in some list, the last drawn one (ю) and я included.
#pragma once

#include <cstddef>
#include <random>
#include <string>
#include <vector>

namespace bukvotok {

// `small_letters` letters of а-я, `letter` among them, and `others` bytes of the other kinds.
inline std::string RandomAlphabet(std::mt19937& random, unsigned char letter,
                                  std::size_t small_letters, std::size_t others) {
    std::string alphabet(1, static_cast<char>(letter));
    while (alphabet.size() < small_letters) alphabet += static_cast<char>(224 + random() % 32);
    for (std::size_t i = 0; i < others; ++i) {
        switch (random() % 4) {
            case 0:  // the capital of a small letter already in, which folds onto it
                alphabet += static_cast<char>(alphabet[random() % small_letters] - 32);
                break;
            case 1:
                alphabet += random() % 2 ? '\xB8' : '\xA8';  // ё Ё
                break;
            case 2:
                alphabet += static_cast<char>((random() % 2 ? 'a' : 'A') + random() % 26);
                break;
            default: {  // any byte but NUL, LF and CR, which end a line
                char byte = 0;
                while (byte == '\0' || byte == '\n' || byte == '\r') {
                    byte = static_cast<char>(random() % 256);
                }
                alphabet += byte;
            }
        }
    }
    return alphabet;
}

inline std::string RandomWord(std::mt19937& random, const std::string& alphabet,
                              std::size_t max_length) {
    std::string word;
    for (std::size_t n = random() % (max_length + 1); n > 0; --n) {
        word += alphabet[random() % alphabet.size()];
    }
    return word;
}

// Entries of up to `max_length` bytes, empty ones among them, with duplicates and extensions of
// earlier entries, as real word lists have.
inline std::vector<std::string> RandomEntries(std::mt19937& random, const std::string& alphabet,
                                              std::size_t count, std::size_t max_length) {
    std::vector<std::string> entries;
    for (std::size_t i = 0; i < count; ++i) {
        if (!entries.empty() && random() % 4 == 0) {
            entries.push_back(entries[random() % entries.size()]);
            if (random() % 2) entries.back() += RandomWord(random, alphabet, 3);
        } else {
            entries.push_back(RandomWord(random, alphabet, max_length));
        }
    }
    return entries;
}

inline std::string JoinedLines(const std::vector<std::string>& entries) {
    std::string text;
    for (const std::string& entry : entries) text += entry + "\r\n";
    return text;
}

}  // namespace bukvotok
