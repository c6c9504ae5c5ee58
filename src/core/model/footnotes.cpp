#include "core/model/footnotes.h"

#include "core/files/file_io.h"
#include "core/model/ini_file.h"
#include "core/model/master_data.h"
#include "core/model/timetable_file.h"
#include "core/util/cp1252.h"
#include "core/util/error.h"

#include <algorithm>

namespace takton {
namespace {

std::string SectionOf(std::size_t index) {
    return "footnote_" + std::to_string(index + 1);
}

TDateList ReadDates(const TIniFile &ini, const std::string &section, std::string_view key) {
    try {
        return ParseDateList(ini.ReadString(section, key, ""));
    } catch (const TaktonError &) {
        return {};
    }
}

void AppendDates(std::string &text, const char *words, const TDateList &dates) {
    if (dates.empty())
        return;
    text += text.empty() ? "" : ", ";
    text += words;
    bool first = true;
    for (const auto &range : dates) {
        text += first ? " " : ", ";
        first = false;
        text += GermanDateText(range.First);
        if (range.Last != range.First)
            text += " bis " + GermanDateText(range.Last);
    }
}

} // namespace

std::string FootnoteDaysKey(TFootnoteDays days) {
    switch (days) {
    case TFootnoteDays::SchoolDays:
        return "school-days";
    case TFootnoteDays::SchoolHolidays:
        return "school-holidays";
    case TFootnoteDays::All:
        break;
    }
    return "all";
}

std::string FootnoteDaysText(TFootnoteDays days) {
    switch (days) {
    case TFootnoteDays::SchoolDays:
        return "nur an Schultagen";
    case TFootnoteDays::SchoolHolidays:
        return "nur an Ferientagen";
    case TFootnoteDays::All:
        break;
    }
    return "alle Tage";
}

std::string FootnoteRuleText(const TFootnote &footnote) {
    std::string text;
    if (!footnote.OnlyOn.empty()) {
        AppendDates(text, "nur am", footnote.OnlyOn);
    } else {
        text = FootnoteDaysText(footnote.Days);
        AppendDates(text, "auch am", footnote.AlsoOn);
    }
    AppendDates(text, "nicht am", footnote.NotOn);
    return text;
}

TFootnoteList LoadFootnotes(const std::string &dir) {
    const TIniFile ini(ProjectPath(dir, kFootnotesFile));
    TFootnoteList footnotes;
    for (const auto &section : ini.ReadSections()) {
        if (section.rfind("footnote_", 0) != 0)
            continue;
        TFootnote footnote;
        footnote.Symbol = ini.ReadString(section, "symbol", "");
        if (footnote.Symbol.empty() || FindFootnote(footnotes, footnote.Symbol))
            continue;
        footnote.Text = ini.ReadString(section, "text", "");
        const std::string days = ini.ReadString(section, "days", "all");
        footnote.Days = days == "school-days"       ? TFootnoteDays::SchoolDays
                        : days == "school-holidays" ? TFootnoteDays::SchoolHolidays
                                                    : TFootnoteDays::All;
        footnote.NotOn = ReadDates(ini, section, "not");
        footnote.AlsoOn = ReadDates(ini, section, "also");
        footnote.OnlyOn = ReadDates(ini, section, "only");
        footnotes.push_back(std::move(footnote));
    }
    return footnotes;
}

void CheckFootnotes(const TFootnoteList &footnotes) {
    for (std::size_t i = 0; i < footnotes.size(); ++i) {
        const std::string &symbol = footnotes[i].Symbol;
        if (symbol.empty())
            throw TaktonError(Cp1252("Eine Fußnote braucht ein Zeichen."));
        if (symbol.find_first_of(" ,|\t") != std::string::npos)
            throw TaktonError(Cp1252("Das Zeichen einer Fußnote darf kein Leerzeichen, kein "
                                     "\",\" und kein \"|\" enthalten: \"") +
                              symbol + "\".");
        for (std::size_t j = 0; j < i; ++j)
            if (footnotes[j].Symbol == symbol)
                throw TaktonError(Cp1252("Das Fußnotenzeichen \"") + symbol +
                                  "\" ist schon vergeben.");
    }
}

void SaveFootnotes(const std::string &dir, const TFootnoteList &footnotes) {
    CheckFootnotes(footnotes);
    TIniFile ini(ProjectPath(dir, kFootnotesFile));
    for (const auto &section : ini.ReadSections())
        ini.EraseSection(section);
    for (std::size_t i = 0; i < footnotes.size(); ++i) {
        const TFootnote &footnote = footnotes[i];
        const std::string section = SectionOf(i);
        ini.WriteString(section, "symbol", footnote.Symbol);
        ini.WriteString(section, "text", footnote.Text);
        ini.WriteString(section, "days", FootnoteDaysKey(footnote.Days));
        if (!footnote.NotOn.empty())
            ini.WriteString(section, "not", DateListText(footnote.NotOn));
        if (!footnote.AlsoOn.empty())
            ini.WriteString(section, "also", DateListText(footnote.AlsoOn));
        if (!footnote.OnlyOn.empty())
            ini.WriteString(section, "only", DateListText(footnote.OnlyOn));
    }
    ini.UpdateFile();
}

std::size_t JourneysWithFootnote(const std::string &dir, std::string_view symbol) {
    std::size_t count = 0;
    for (const auto &path : TimetableFilePaths(dir)) {
        const TTimetableFile file(path);
        for (const auto &section : file.Sections())
            for (const auto &marks : file.ReadJourneyMarks(section))
                count += marks.Footnote == symbol;
    }
    return count;
}

const TFootnote *FindFootnote(const TFootnoteList &footnotes, std::string_view symbol) {
    const auto found = std::find_if(footnotes.begin(), footnotes.end(),
                                    [symbol](const TFootnote &f) { return f.Symbol == symbol; });
    return found == footnotes.end() ? nullptr : &*found;
}

} // namespace takton
