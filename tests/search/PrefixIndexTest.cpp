// The indexed prefix lookup against the plain scan, on seeded random dictionaries.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "DictionaryList.h"
#include "LinearDictionary.h"
#include "RandomWordList.h"

namespace bukvotok {
namespace {

TEST(PrefixIndex, AgreesWithTheLinearScanOnRandomDictionaries) {
    for (std::uint32_t seed = 1; seed <= 300; ++seed) {
        std::mt19937 random(seed);
        const std::string alphabet = RandomAlphabet(
            random, static_cast<unsigned char>(224 + seed % 32), 1 + seed % 8, random() % 6);
        const std::size_t count = seed % 3 == 0 ? random() % 4 : random() % 400;
        const std::size_t max_length = 1 + seed % 12;
        const LinearDictionary model(RandomEntries(random, alphabet, count, max_length));
        DictionaryList dictionary;
        dictionary.LoadDictionaryText(JoinedLines(model.Entries()));
        ASSERT_EQ(static_cast<std::size_t>(dictionary.Count()), model.Entries().size());

        std::vector<std::string> probes = {""};
        for (int i = 0; i < 200; ++i) {
            probes.push_back(RandomWord(random, alphabet, max_length + 2));
        }
        // Prefixes of real entries, changed in case, are the probes that find something.
        for (const std::string& entry : model.Entries()) {
            std::string probe = entry.substr(0, random() % (entry.size() + 1));
            for (char& c : probe) {
                if (random() % 3 == 0) c = static_cast<char>(c ^ 0x20);
            }
            probes.push_back(probe);
            probes.push_back(entry + alphabet[random() % alphabet.size()]);
        }
        for (const std::string& probe : probes) {
            ASSERT_EQ(dictionary.FindPrefix(probe), model.FindPrefix(probe))
                << "seed " << seed << " probe '" << probe << "'";
        }
    }
}

TEST(PrefixIndex, ExactFlagAgreesWithComparingTheFirstEntry) {
    for (std::uint32_t seed = 1; seed <= 100; ++seed) {
        std::mt19937 random(seed);
        const std::string alphabet = RandomAlphabet(
            random, static_cast<unsigned char>(224 + seed % 32), 2 + seed % 5, random() % 4);
        const LinearDictionary model(RandomEntries(random, alphabet, 1 + random() % 300, 6));
        DictionaryList dictionary;
        dictionary.LoadDictionaryText(JoinedLines(model.Entries()));
        const PrefixIndex& index = dictionary.Index();
        const LetterTable::View letters = dictionary.Letters().Read();
        const PassTable::View passes = dictionary.Passes().Read();
        for (const std::string& entry : model.Entries()) {
            // Every folded prefix of every entry, as the search would spell it, and while it is
            // short and in drawn letters, what the letter table says of it.
            std::string word;
            LetterTable::Code code = LetterTable::kRoot;  // 0 once the word leaves the table
            for (const char c : entry) {
                word += static_cast<char>(FoldCase(c));
                const auto cursor = index.Seek(dictionary.Entries(), word);
                const std::int32_t first = model.FindPrefix(word);
                ASSERT_EQ(index.FirstEntry(cursor), first);
                const bool exact = model.EntryAt(first) == word;
                ASSERT_EQ(index.FirstEntryIsExact(cursor), exact)
                    << "seed " << seed << " word '" << word << "'";
                const auto letter = static_cast<unsigned char>(word.back());
                const auto length = static_cast<std::uint32_t>(word.size());
                if (code == 0 || letter < 224 || letter == 255) {
                    code = 0;
                    continue;
                }
                ASSERT_TRUE(letters.Of(code).Continues(letter)) << "seed " << seed;
                if (length == LetterTable::kDepth) {
                    const std::uint32_t four = letters.Fourth(code, letter);
                    const auto three = static_cast<std::uint16_t>(code & 0x7FFF);
                    const auto fourth = static_cast<unsigned char>(letter - 224);
                    ASSERT_EQ(passes.LengthOf(three, fourth), PassTable::kGoesOn);
                    ASSERT_EQ(passes.Four(three, fourth), four) << "seed " << seed;
                    ASSERT_EQ(letters.OfFour(four).IsExact(), exact);
                    ASSERT_EQ(letters.At(four).node, cursor.node);
                    code = 0;
                    continue;
                }
                code = LetterTable::View::After(code, letter);
                ASSERT_TRUE(letters.Has(code));
                ASSERT_EQ(letters.Of(code).IsExact(), exact)
                    << "seed " << seed << " word '" << word << "'";
            }
        }
        // Letters that begin no entry: the table must say so as well as the trie.
        for (unsigned letter = 224; letter < 255; ++letter) {
            const std::string probe(1, static_cast<char>(letter));
            ASSERT_EQ(letters.Of(LetterTable::kRoot).Continues(static_cast<unsigned char>(letter)),
                      model.FindPrefix(probe) != -1);
        }
    }
}

TEST(PrefixIndex, FirstEntryInFileOrderWins) {
    DictionaryList dictionary;
    // котёл before кот: «кот» is found at the longer entry, and is not itself an exact match.
    dictionary.LoadDictionaryText("\xEA\xEE\xF2\xB8\xEB\r\n\xEA\xEE\xF2\r\n");
    EXPECT_EQ(dictionary.FindPrefix("\xEA\xEE\xF2"), 0);
    EXPECT_EQ(dictionary.FindPrefix("\xCA\xCE\xD2\xA8"), 0);  // КОТЁ: ё folds too
    const auto cursor = dictionary.Index().Seek(dictionary.Entries(), "\xEA\xEE\xF2");
    EXPECT_FALSE(dictionary.Index().FirstEntryIsExact(cursor));
}

TEST(PrefixIndex, VeryLongEntryIsOneEdge) {
    std::string entry(5'000'000, '\xEE');
    entry += '\xEF';
    DictionaryList dictionary;
    dictionary.LoadDictionaryText(entry + "\r\n" + entry.substr(0, 10));
    EXPECT_EQ(dictionary.FindPrefix(entry), 0);
    EXPECT_EQ(dictionary.FindPrefix(std::string(5'000'001, '\xEE')), -1);
    EXPECT_EQ(dictionary.FindPrefix(entry.substr(0, 10)), 0);
    EXPECT_LT(dictionary.Index().NodeCount(), 5u);
}

}  // namespace
}  // namespace bukvotok
