#include "core/gtfs/gtfs_import.h"

#include "core/files/file_io.h"
#include "core/gtfs/gtfs_importer.h"
#include "core/model/line_data.h"
#include "core/model/master_data.h"
#include "core/model/prj_save.h"
#include "core/model/timetable_file.h"
#include "core/util/error.h"

#include <array>
#include <atomic>
#include <exception>
#include <filesystem>
#include <thread>

namespace takton::gtfs {
namespace detail {

void TImporter::NameNotHeldFiles() {
    static const std::array<std::string_view, 8> kRead = {
        "agency.txt",   "stops.txt",          "routes.txt",     "trips.txt",
        "calendar.txt", "calendar_dates.txt", "stop_times.txt", "frequencies.txt"};
    for (const auto &file : feed_.Files()) {
        if (file == "shapes.txt") {
            NotHeld(Cp1252("shapes.txt: den Linienverlauf auf der Straße kennt das Projekt "
                           "nicht, nicht übernommen."));
            continue;
        }
        if (std::find(kRead.begin(), kRead.end(), file) != kRead.end())
            continue;
        std::string why = "kennt das Projekt nicht, nicht übernommen.";
        if (file == "transfers.txt")
            why = "Umsteigeregeln kennt das Projekt nicht, nicht übernommen.";
        else if (file.starts_with("fare"))
            why = "Tarife kennt das Projekt nicht, nicht übernommen.";
        NotHeld(names_.Text(file) + ": " + Cp1252(why));
    }
}

void TImporter::ReportCounts() {
    const auto n = [](std::size_t count) { return std::to_string(count); };
    if (droppedStops_ > 0)
        Adapted(n(droppedStops_) +
                Cp1252(" Halte ohne Zeit am Anfang oder Ende einer Fahrt weggelassen."));
    if (interpolated_ > 0)
        Adapted(n(interpolated_) +
                Cp1252(" fehlende Zeiten zwischen zwei Zeitpunkten ergänzt (nach Entfernung, wo "
                       "bekannt, sonst gleichmäßig)."));
    if (rounded_ > 0)
        Adapted(n(rounded_) + Cp1252(" Fahrten mit Sekunden in den Zeiten: auf Minuten gerundet."));
    if (secondNights_ > 0)
        Adapted(n(secondNights_) + (secondNights_ == 1 ? " Fahrt beginnt" : " Fahrten beginnen") +
                Cp1252(" 48 Stunden oder mehr nach dem Beginn ihres Betriebstags: als Nachtfahrt "
                       "des Betriebstags übernommen, einen Tag zu früh."));
    if (reversedPieces_ > 0)
        Adapted(n(reversedPieces_) +
                Cp1252(" Fahrten (oder Teile) passen nur gegen den Linienweg: in der anderen "
                       "Richtung übernommen."));
    if (expandedFrequencies_ > 0)
        Adapted(n(expandedFrequencies_) +
                Cp1252(" Takte aus frequencies.txt als einzelne Fahrten eingetragen (Takt nicht "
                       "in ganzen Minuten oder andere Fahrten dazwischen)."));
    if (intervalBlocks_ > 0)
        Note(
            n(intervalBlocks_) +
            Cp1252(" Takte aus frequencies.txt als Taktspalte (erste Fahrt, Takt, letzte Fahrt)."));
    ReportFootnotes();
    if (nights_ > 0)
        Note(n(nights_) + (nights_ == 1 ? " Fahrt beginnt" : " Fahrten beginnen") +
             Cp1252(" nach 24:00 ihres Betriebstags: mit der Uhrzeit nach Mitternacht als "
                    "Nachtfahrt des Betriebstags übernommen."));
    if (pairs_ > 0)
        Note(n(pairs_) + Cp1252(" Zeilenpaare (\"-\") für Stationen mit verschiedener "
                                "Ankunfts- und Abfahrtszeit."));
    if (tripsWithoutTimes_ > 0)
        NotHeld(n(tripsWithoutTimes_) +
                Cp1252(" Fahrten mit weniger als zwei Halten mit Zeit, nicht übernommen."));
    if (tripsWithoutService_ > 0)
        NotHeld(n(tripsWithoutService_) +
                Cp1252(" Fahrten ohne Verkehrstage (Dienst unbekannt oder ohne Tage), nicht "
                       "übernommen."));
    if (tripsUnknown_ > 0)
        NotHeld(n(tripsUnknown_) + Cp1252(" Fahrten zu unbekannten Linien, nicht übernommen."));
}

// Each file is written crash-safe, which waits for the disk: a few at once.
void TImporter::WriteTimetables() {
    std::atomic<std::size_t> next{0}, done{0};
    std::atomic<bool> stop{false};
    std::vector<std::exception_ptr> failures(kWriters);
    for (const auto &line : lines_)
        written_.push_back(TimetablePath(dir_, line.Name));
    auto writeOne = [&](std::size_t l) {
        TTimetableFile file(TimetablePath(dir_, lines_[l].Name));
        for (const auto &[section, rows] : lines_[l].Sections)
            file.WriteRows(section, rows);
        for (const auto &[section, marks] : lines_[l].Marks)
            file.WriteJourneyMarks(section, marks);
        file.Save();
        ++done;
    };
    // Writer 0 is this thread: it also tells the progress between its files.
    auto work = [&](std::size_t writer) {
        try {
            for (std::size_t l; !stop && (l = next++) < lines_.size();) {
                if (writer == 0 &&
                    !Progress(900 + 90 * done / std::max<std::size_t>(1, lines_.size()))) {
                    stop = true;
                    break;
                }
                writeOne(l);
            }
        } catch (...) {
            failures[writer] = std::current_exception();
            stop = true;
        }
    };
    std::vector<std::thread> writers;
    for (std::size_t w = 1; w < kWriters; ++w)
        writers.emplace_back(work, w);
    work(0);
    for (auto &writer : writers)
        writer.join();
    for (const auto &failure : failures)
        if (failure)
            std::rethrow_exception(failure);
}

void TImporter::WriteFiles() {
    auto track = [&](std::string_view file) { written_.push_back(ProjectPath(dir_, file)); };
    TStringList stationNames;
    for (const auto &station : stations_)
        stationNames.push_back(station.Name);
    track(kStationsFile);
    SaveNameList(dir_, kStationsFile, stationNames);
    TStringList lineNames, routes;
    std::vector<TStringList> servedBy(stations_.size());
    for (const auto &line : lines_) {
        lineNames.push_back(line.Name);
        TStringList stations;
        for (const auto s : line.Stations) {
            stations.push_back(stations_[s].Name);
            servedBy[s].push_back(line.Name);
        }
        routes.push_back(line.Name + "=" + JoinList(stations));
    }
    track(kLinesFile);
    SaveNameList(dir_, kLinesFile, lineNames);
    track(kLineStationsFile);
    SaveNameList(dir_, kLineStationsFile, routes);
    TStringList index;
    for (std::size_t s = 0; s < stations_.size(); ++s)
        if (!servedBy[s].empty())
            index.push_back(stations_[s].Name + "=" + JoinList(servedBy[s]));
    track(kStationLinesFile);
    SaveNameList(dir_, kStationLinesFile, index);
    TStationDataList data;
    for (const auto &station : stations_)
        if (station.Position || !station.Zone.empty())
            data.push_back({station.Name, {station.Position, station.Zone, {}}});
    track(kStationDataFile);
    SaveStationData(dir_, data);
    // The commonest vehicle type is the project's, the others the lines' own.
    std::map<int, std::size_t> types;
    for (const auto &line : lines_)
        ++types[line.Type];
    std::size_t most = 0;
    for (const auto &[type, count] : types)
        if (count > most) {
            most = count;
            publishing_.RouteType = type;
        }
    // line_data.csv ("Line=route_type") written once, only when a line has its own.
    TStringList ownTypes;
    for (const auto &line : lines_)
        if (line.Type != publishing_.RouteType)
            ownTypes.push_back(line.Name + "=" + std::to_string(line.Type));
    if (!ownTypes.empty()) {
        track(kLineDataFile);
        SaveTextList(ProjectPath(dir_, kLineDataFile), ownTypes);
    }
    if (!footnotes_.empty()) {
        track(kFootnotesFile);
        SaveFootnotes(dir_, footnotes_);
    }
    WriteTimetables();
    if (cancelled_)
        return;
    // The project file last: the project exists once it does.
    TPrjParams params;
    params.DayGroups = dayGroups_;
    params.Publishing = publishing_;
    params.StationFields.TarifZone = std::any_of(stations_.begin(), stations_.end(),
                                                 [](const TStation &s) { return !s.Zone.empty(); });
    written_.push_back(projectPath_);
    SaveProjectFile(projectPath_, params);
}

// All or nothing: a failed or cancelled write takes back what it wrote.
void TImporter::Write() {
    std::error_code error;
    if (!std::filesystem::exists(dir_, error)) {
        if (!std::filesystem::create_directories(dir_, error))
            ThrowCannotWrite(dir_);
        madeDir_ = true;
    }
    auto takeBack = [&] {
        for (const auto &path : written_)
            RemoveFile(path);
        if (madeDir_)
            std::filesystem::remove(dir_, error);
    };
    try {
        WriteFiles();
    } catch (...) {
        takeBack();
        throw;
    }
    if (cancelled_)
        takeBack();
}

TImportReport TImporter::Run() {
    CheckImportTarget(projectPath_);
    if (!Progress(0))
        return report_.Cancelled = true, report_;
    ReadAgency();
    ReadStops();
    MakeStations();
    ReadRoutes();
    ReadServices();
    MakeDayGroups();
    ReadTrips();
    if (!Progress(50) || !ReadStopTimes()) {
        report_.Cancelled = true;
        return report_;
    }
    ReadFrequencies();
    if (!BuildLines()) {
        report_.Cancelled = true;
        return report_;
    }
    rows_ = {};
    NameNotHeldFiles();
    ReportCounts();
    Write();
    if (cancelled_) {
        report_.Cancelled = true;
        return report_;
    }
    Progress(kProgressTotal);
    report_.Stations = stations_.size();
    report_.Lines = lines_.size();
    report_.DayGroups = dayGroups_.size();
    return report_;
}

} // namespace detail

void CheckImportTarget(const std::string &projectPath) {
    const std::string dir = DirectoryOf(projectPath);
    std::error_code error;
    if (!std::filesystem::exists(dir, error))
        return;
    bool project = FileExists(ProjectPath(dir, kStationsFile)) ||
                   FileExists(ProjectPath(dir, kLinesFile)) || FileExists(projectPath);
    for (const auto &entry : std::filesystem::directory_iterator(dir, error))
        if (entry.path().extension() == ".zpr")
            project = true;
    if (project)
        throw TaktonError(Cp1252("Im Ordner ") + PathForMessage(dir) +
                          Cp1252(" liegt schon ein Projekt. Ein GTFS-Import braucht einen neuen "
                                 "oder leeren Ordner."));
}

TImportReport ImportGtfs(const std::string &feedPath, const std::string &projectPath,
                         const TImportProgress &progress) {
    CheckImportTarget(projectPath);
    return detail::TImporter(feedPath, projectPath, progress).Run();
}

} // namespace takton::gtfs
