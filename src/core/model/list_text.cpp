#include "core/model/list_text.h"

#include "core/files/file_io.h"
#include "core/util/cp1252.h"

#include <algorithm>

namespace takton {
namespace {

bool IsBlankCode(char c) {
    const auto u = static_cast<unsigned char>(c);
    return u >= 1 && u <= 32;
}

bool NeedsQuotes(std::string_view item) {
    for (char c : item)
        if (IsBlankCode(c) || c == '"' || c == ',')
            return true;
    return false;
}

} // namespace

TStringList SplitTextLines(std::string_view text) {
    TStringList lines;
    std::size_t start = 0;
    // Large timetable files are cut here: the next CR and the next LF are each
    // found with a fast search, and only the one passed is searched again.
    std::size_t nextCr = text.find('\r');
    std::size_t nextLf = text.find('\n');
    for (std::size_t i = std::min(nextCr, nextLf); i < text.size(); i = std::min(nextCr, nextLf)) {
        lines.emplace_back(text.substr(start, i - start));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            ++i;
        start = i + 1;
        if (nextCr < start)
            nextCr = text.find('\r', start);
        if (nextLf < start)
            nextLf = text.find('\n', start);
    }
    if (start < text.size())
        lines.emplace_back(text.substr(start));
    return lines;
}

std::string JoinTextLines(const TStringList &list) {
    std::size_t size = 0;
    for (const auto &item : list)
        size += item.size() + 2;
    std::string text;
    text.reserve(size);
    for (const auto &item : list) {
        text += item;
        text += "\r\n";
    }
    return text;
}

TStringList LoadTextList(const std::string &path) {
    const auto content = ReadWholeFile(path);
    return content ? SplitTextLines(*content) : TStringList{};
}

void SaveTextList(const std::string &path, const TStringList &list) {
    WriteWholeFile(path, JoinTextLines(list));
}

bool HasEntryName(std::string_view entry) {
    return entry.find('=') != std::string_view::npos;
}

std::string EntryName(std::string_view entry) {
    const auto eq = entry.find('=');
    return eq == std::string_view::npos ? std::string() : std::string(entry.substr(0, eq));
}

std::string EntryValue(std::string_view entry) {
    const auto eq = entry.find('=');
    return eq == std::string_view::npos ? std::string() : std::string(entry.substr(eq + 1));
}

int IndexOfItem(const TStringList &list, std::string_view item) {
    for (std::size_t i = 0; i < list.size(); ++i)
        if (SameTextCi(list[i], item))
            return static_cast<int>(i);
    return -1;
}

int IndexOfName(const TStringList &list, std::string_view name) {
    for (std::size_t i = 0; i < list.size(); ++i) {
        const std::string_view entry = list[i];
        const auto eq = entry.find('=');
        if (eq != std::string_view::npos && SameTextCi(entry.substr(0, eq), name))
            return static_cast<int>(i);
    }
    return -1;
}

std::string JoinList(const TStringList &list) {
    if (list.size() == 1 && list[0].empty())
        return "\"\"";
    std::string text;
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (i > 0)
            text += ',';
        const std::string &item = list[i];
        if (!NeedsQuotes(item)) {
            text += item;
            continue;
        }
        text += '"';
        for (char c : item) {
            if (c == '"')
                text += '"';
            text += c;
        }
        text += '"';
    }
    return text;
}

TStringList SplitList(std::string_view text) {
    // A NUL ends the text, as it ends a C string in the files' writers.
    text = text.substr(0, text.find('\0'));
    TStringList list;
    std::size_t p = 0;
    const std::size_t n = text.size();
    auto skipBlanks = [&] {
        while (p < n && IsBlankCode(text[p]))
            ++p;
    };
    skipBlanks();
    while (p < n) {
        std::string item;
        if (text[p] == '"') {
            // Whole runs up to the next quote: a doubled quote is one quote,
            // a single one ends the item, a missing one ends it at the end.
            ++p;
            while (p < n) {
                const std::size_t quote = std::min(text.find('"', p), n);
                item.append(text.substr(p, quote - p));
                p = quote;
                if (p + 1 < n && text[p + 1] == '"') {
                    item += '"';
                    p += 2;
                    continue;
                }
                p = std::min(p + 1, n);
                break;
            }
        } else {
            const std::size_t start = p;
            while (p < n && !IsBlankCode(text[p]) && text[p] != ',')
                ++p;
            item.assign(text.substr(start, p - start));
        }
        list.push_back(std::move(item));
        skipBlanks();
        if (p < n && text[p] == ',') {
            if (p + 1 == n)
                list.emplace_back();
            ++p;
            skipBlanks();
        }
    }
    return list;
}

} // namespace takton
