#include "core/model/names.h"

#include "core/util/cp1252.h"

namespace takton {
namespace {

// Control characters, and the codes cp1252 leaves undefined.
bool IsControlCode(unsigned char c) {
    return c < 0x20 || c == 0x7F || c == 0x81 || c == 0x8D || c == 0x8F || c == 0x90 || c == 0x9D;
}

bool IsQuote(char c) {
    return c == '"' || c == '\'';
}

std::optional<std::string> CheckCommonName(std::string_view name) {
    if (name.find_first_not_of(' ') == std::string_view::npos)
        return Cp1252("Der Name darf nicht leer sein.");
    for (char c : name)
        if (IsControlCode(static_cast<unsigned char>(c)))
            return Cp1252("Der Name darf keine Steuerzeichen enthalten.");
    if (name.front() == ' ' || name.back() == ' ')
        return Cp1252("Der Name darf nicht mit einem Leerzeichen beginnen oder enden.");
    if (name.find_first_of(",=") != std::string_view::npos)
        return Cp1252("Der Name darf weder \",\" noch \"=\" enthalten.");
    // A timetable row is read without a pair of enclosing quotation marks, and
    // a row begins with its station's name.
    if (IsQuote(name.front()))
        return Cp1252("Der Name darf nicht mit einem Anführungszeichen beginnen.");
    return std::nullopt;
}

} // namespace

std::optional<std::string> CheckStationName(std::string_view name) {
    return CheckCommonName(name);
}

std::optional<std::string> CheckLineName(std::string_view name) {
    if (auto refusal = CheckCommonName(name))
        return refusal;
    if (name.find_first_of("/\\:*?\"<>|") != std::string_view::npos)
        return Cp1252("Der Name einer Linie benennt ihre Fahrplandatei und darf keines der "
                      "Zeichen / \\ : * ? \" < > | enthalten.");
    // "line_" + name + ".ttd" must fit the file system's limit of 255 bytes.
    if (Cp1252ToUtf8(name).size() + 9 > 255)
        return Cp1252("Der Name der Linie ist zu lang für den Namen ihrer Fahrplandatei.");
    return std::nullopt;
}

std::string NameNotInCodePageMessage() {
    return Cp1252("Der Name enthält Zeichen, die im Zeichensatz Windows-1252 nicht darstellbar "
                  "sind.");
}

} // namespace takton
