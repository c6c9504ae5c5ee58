// The named character references of HTML that code page 1252 can hold, as
// cp1252 bytes, sorted by name for a binary search. Names without the closing
// ";" are the legacy ones that HTML also accepts without it.
//
// Generated from Python's html.entities.html5 (Python 3.11):
//   for name, value in html5.items(): keep (name, value.encode("cp1252"))
//   when the value encodes; sort by name; print as {"name", "bytes"}.
// Do not edit by hand.

#include "core/webcopy/html_entity_table.h"

namespace takton {

// clang-format off
const THtmlEntity kHtmlEntities[] = {
    {"AElig", "\xC6"}, {"AElig;", "\xC6"}, {"AMP", "&"}, {"AMP;", "&"}, {"Aacute", "\xC1"},
    {"Aacute;", "\xC1"}, {"Acirc", "\xC2"}, {"Acirc;", "\xC2"}, {"Agrave", "\xC0"},
    {"Agrave;", "\xC0"}, {"Aring", "\xC5"}, {"Aring;", "\xC5"}, {"Atilde", "\xC3"},
    {"Atilde;", "\xC3"}, {"Auml", "\xC4"}, {"Auml;", "\xC4"}, {"COPY", "\xA9"}, {"COPY;", "\xA9"},
    {"Ccedil", "\xC7"}, {"Ccedil;", "\xC7"}, {"Cedilla;", "\xB8"}, {"CenterDot;", "\xB7"},
    {"CloseCurlyDoubleQuote;", "\x94"}, {"CloseCurlyQuote;", "\x92"}, {"Dagger;", "\x87"},
    {"DiacriticalAcute;", "\xB4"}, {"DiacriticalGrave;", "`"}, {"DiacriticalTilde;", "\x98"},
    {"Dot;", "\xA8"}, {"DoubleDot;", "\xA8"}, {"ETH", "\xD0"}, {"ETH;", "\xD0"}, {"Eacute", "\xC9"},
    {"Eacute;", "\xC9"}, {"Ecirc", "\xCA"}, {"Ecirc;", "\xCA"}, {"Egrave", "\xC8"},
    {"Egrave;", "\xC8"}, {"Euml", "\xCB"}, {"Euml;", "\xCB"}, {"GT", ">"}, {"GT;", ">"},
    {"Hat;", "^"}, {"Iacute", "\xCD"}, {"Iacute;", "\xCD"}, {"Icirc", "\xCE"}, {"Icirc;", "\xCE"},
    {"Igrave", "\xCC"}, {"Igrave;", "\xCC"}, {"Iuml", "\xCF"}, {"Iuml;", "\xCF"}, {"LT", "<"},
    {"LT;", "<"}, {"NewLine;", "\x0A"}, {"NonBreakingSpace;", "\xA0"}, {"Ntilde", "\xD1"},
    {"Ntilde;", "\xD1"}, {"OElig;", "\x8C"}, {"Oacute", "\xD3"}, {"Oacute;", "\xD3"},
    {"Ocirc", "\xD4"}, {"Ocirc;", "\xD4"}, {"Ograve", "\xD2"}, {"Ograve;", "\xD2"},
    {"OpenCurlyDoubleQuote;", "\x93"}, {"OpenCurlyQuote;", "\x91"}, {"Oslash", "\xD8"},
    {"Oslash;", "\xD8"}, {"Otilde", "\xD5"}, {"Otilde;", "\xD5"}, {"Ouml", "\xD6"},
    {"Ouml;", "\xD6"}, {"PlusMinus;", "\xB1"}, {"QUOT", "\x22"}, {"QUOT;", "\x22"}, {"REG", "\xAE"},
    {"REG;", "\xAE"}, {"Scaron;", "\x8A"}, {"THORN", "\xDE"}, {"THORN;", "\xDE"},
    {"TRADE;", "\x99"}, {"Tab;", "\x09"}, {"Uacute", "\xDA"}, {"Uacute;", "\xDA"},
    {"Ucirc", "\xDB"}, {"Ucirc;", "\xDB"}, {"Ugrave", "\xD9"}, {"Ugrave;", "\xD9"},
    {"UnderBar;", "_"}, {"Uuml", "\xDC"}, {"Uuml;", "\xDC"}, {"VerticalLine;", "|"},
    {"Yacute", "\xDD"}, {"Yacute;", "\xDD"}, {"Yuml;", "\x9F"}, {"Zcaron;", "\x8E"},
    {"aacute", "\xE1"}, {"aacute;", "\xE1"}, {"acirc", "\xE2"}, {"acirc;", "\xE2"},
    {"acute", "\xB4"}, {"acute;", "\xB4"}, {"aelig", "\xE6"}, {"aelig;", "\xE6"},
    {"agrave", "\xE0"}, {"agrave;", "\xE0"}, {"amp", "&"}, {"amp;", "&"}, {"angst;", "\xC5"},
    {"apos;", "'"}, {"aring", "\xE5"}, {"aring;", "\xE5"}, {"ast;", "*"}, {"atilde", "\xE3"},
    {"atilde;", "\xE3"}, {"auml", "\xE4"}, {"auml;", "\xE4"}, {"bdquo;", "\x84"},
    {"brvbar", "\xA6"}, {"brvbar;", "\xA6"}, {"bsol;", "\x5C"}, {"bull;", "\x95"},
    {"bullet;", "\x95"}, {"ccedil", "\xE7"}, {"ccedil;", "\xE7"}, {"cedil", "\xB8"},
    {"cedil;", "\xB8"}, {"cent", "\xA2"}, {"cent;", "\xA2"}, {"centerdot;", "\xB7"},
    {"circ;", "\x88"}, {"circledR;", "\xAE"}, {"colon;", ":"}, {"comma;", ","}, {"commat;", "@"},
    {"copy", "\xA9"}, {"copy;", "\xA9"}, {"curren", "\xA4"}, {"curren;", "\xA4"},
    {"dagger;", "\x86"}, {"ddagger;", "\x87"}, {"deg", "\xB0"}, {"deg;", "\xB0"}, {"die;", "\xA8"},
    {"div;", "\xF7"}, {"divide", "\xF7"}, {"divide;", "\xF7"}, {"dollar;", "$"}, {"eacute", "\xE9"},
    {"eacute;", "\xE9"}, {"ecirc", "\xEA"}, {"ecirc;", "\xEA"}, {"egrave", "\xE8"},
    {"egrave;", "\xE8"}, {"equals;", "="}, {"eth", "\xF0"}, {"eth;", "\xF0"}, {"euml", "\xEB"},
    {"euml;", "\xEB"}, {"euro;", "\x80"}, {"excl;", "!"}, {"fjlig;", "fj"}, {"fnof;", "\x83"},
    {"frac12", "\xBD"}, {"frac12;", "\xBD"}, {"frac14", "\xBC"}, {"frac14;", "\xBC"},
    {"frac34", "\xBE"}, {"frac34;", "\xBE"}, {"grave;", "`"}, {"gt", ">"}, {"gt;", ">"},
    {"half;", "\xBD"}, {"hellip;", "\x85"}, {"iacute", "\xED"}, {"iacute;", "\xED"},
    {"icirc", "\xEE"}, {"icirc;", "\xEE"}, {"iexcl", "\xA1"}, {"iexcl;", "\xA1"},
    {"igrave", "\xEC"}, {"igrave;", "\xEC"}, {"iquest", "\xBF"}, {"iquest;", "\xBF"},
    {"iuml", "\xEF"}, {"iuml;", "\xEF"}, {"laquo", "\xAB"}, {"laquo;", "\xAB"}, {"lbrace;", "{"},
    {"lbrack;", "["}, {"lcub;", "{"}, {"ldquo;", "\x93"}, {"ldquor;", "\x84"}, {"lowbar;", "_"},
    {"lpar;", "("}, {"lsaquo;", "\x8B"}, {"lsqb;", "["}, {"lsquo;", "\x91"}, {"lsquor;", "\x82"},
    {"lt", "<"}, {"lt;", "<"}, {"macr", "\xAF"}, {"macr;", "\xAF"}, {"mdash;", "\x97"},
    {"micro", "\xB5"}, {"micro;", "\xB5"}, {"midast;", "*"}, {"middot", "\xB7"},
    {"middot;", "\xB7"}, {"mldr;", "\x85"}, {"nbsp", "\xA0"}, {"nbsp;", "\xA0"}, {"ndash;", "\x96"},
    {"not", "\xAC"}, {"not;", "\xAC"}, {"ntilde", "\xF1"}, {"ntilde;", "\xF1"}, {"num;", "#"},
    {"oacute", "\xF3"}, {"oacute;", "\xF3"}, {"ocirc", "\xF4"}, {"ocirc;", "\xF4"},
    {"oelig;", "\x9C"}, {"ograve", "\xF2"}, {"ograve;", "\xF2"}, {"ordf", "\xAA"},
    {"ordf;", "\xAA"}, {"ordm", "\xBA"}, {"ordm;", "\xBA"}, {"oslash", "\xF8"}, {"oslash;", "\xF8"},
    {"otilde", "\xF5"}, {"otilde;", "\xF5"}, {"ouml", "\xF6"}, {"ouml;", "\xF6"}, {"para", "\xB6"},
    {"para;", "\xB6"}, {"percnt;", "%"}, {"period;", "."}, {"permil;", "\x89"}, {"plus;", "+"},
    {"plusmn", "\xB1"}, {"plusmn;", "\xB1"}, {"pm;", "\xB1"}, {"pound", "\xA3"}, {"pound;", "\xA3"},
    {"quest;", "\x3F"}, {"quot", "\x22"}, {"quot;", "\x22"}, {"raquo", "\xBB"}, {"raquo;", "\xBB"},
    {"rbrace;", "}"}, {"rbrack;", "]"}, {"rcub;", "}"}, {"rdquo;", "\x94"}, {"rdquor;", "\x94"},
    {"reg", "\xAE"}, {"reg;", "\xAE"}, {"rpar;", ")"}, {"rsaquo;", "\x9B"}, {"rsqb;", "]"},
    {"rsquo;", "\x92"}, {"rsquor;", "\x92"}, {"sbquo;", "\x82"}, {"scaron;", "\x9A"},
    {"sect", "\xA7"}, {"sect;", "\xA7"}, {"semi;", ";"}, {"shy", "\xAD"}, {"shy;", "\xAD"},
    {"sol;", "/"}, {"strns;", "\xAF"}, {"sup1", "\xB9"}, {"sup1;", "\xB9"}, {"sup2", "\xB2"},
    {"sup2;", "\xB2"}, {"sup3", "\xB3"}, {"sup3;", "\xB3"}, {"szlig", "\xDF"}, {"szlig;", "\xDF"},
    {"thorn", "\xFE"}, {"thorn;", "\xFE"}, {"tilde;", "\x98"}, {"times", "\xD7"},
    {"times;", "\xD7"}, {"trade;", "\x99"}, {"uacute", "\xFA"}, {"uacute;", "\xFA"},
    {"ucirc", "\xFB"}, {"ucirc;", "\xFB"}, {"ugrave", "\xF9"}, {"ugrave;", "\xF9"}, {"uml", "\xA8"},
    {"uml;", "\xA8"}, {"uuml", "\xFC"}, {"uuml;", "\xFC"}, {"verbar;", "|"}, {"vert;", "|"},
    {"yacute", "\xFD"}, {"yacute;", "\xFD"}, {"yen", "\xA5"}, {"yen;", "\xA5"}, {"yuml", "\xFF"},
    {"yuml;", "\xFF"}, {"zcaron;", "\x9E"},
};
// clang-format on

const std::size_t kHtmlEntityCount = sizeof kHtmlEntities / sizeof kHtmlEntities[0];

} // namespace takton
