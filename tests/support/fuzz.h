//! @file fuzz.h
//! @brief Seeded random edits for the fuzz tests: each test names the pieces of syntax that
//! matter to its reader, the edits do the rest.
#pragma once

#include <algorithm>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

class FUZZ_MUTATOR {
public:
    //! IPMAN_FUZZ_SEED replaces the seed, for longer runs by hand with IPMAN_FUZZ_ROUNDS.
    FUZZ_MUTATOR(unsigned seed, std::vector<std::string> pieces) : m_pieces(std::move(pieces))
    {
        const char* seed_text = std::getenv("IPMAN_FUZZ_SEED");
        m_random.seed(seed_text ? static_cast<unsigned>(std::strtoul(seed_text, nullptr, 10)) : seed);
    }

    static int rounds(int default_rounds)
    {
        const char* text = std::getenv("IPMAN_FUZZ_ROUNDS");
        return text ? std::atoi(text) : default_rounds;
    }

    //! A number below bound; 0 for an empty range.
    std::size_t below(std::size_t bound)
    {
        return bound == 0 ? 0 : std::uniform_int_distribution<std::size_t>(0, bound - 1)(m_random);
    }

    //! One to max_edits edits: a random byte, a cut, a deleted or repeated stretch, one of the
    //! pieces, or a long run of one piece (deep nesting, lines across read buffers).
    std::string mutate(std::string text, std::size_t max_edits = 4)
    {
        for (std::size_t edits = 1 + below(max_edits); edits > 0; --edits) {
            const std::size_t at = below(text.size() + 1);
            const std::string& piece = m_pieces[below(m_pieces.size())];
            switch (below(6)) {
            case 0:
                if (at < text.size()) text[at] = static_cast<char>(below(256));
                break;
            case 1:
                text.resize(at);
                break;
            case 2:
                text.erase(at, 1 + below(3));
                break;
            case 3:
                text.insert(at, text.substr(at, below(200)));
                break;
            case 4:
                text.insert(at, piece);
                break;
            default:
                for (std::size_t times = 1 + below(std::max<std::size_t>(1, 6000 / piece.size())); times > 0;
                     --times)
                    text.insert(at, piece);
                break;
            }
        }
        return text;
    }

private:
    std::vector<std::string> m_pieces;
    std::mt19937 m_random;
};
