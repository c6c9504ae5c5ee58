#include "render/print/print_files.h"

#include "core/files/file_io.h"
#include "core/util/error.h"
#include "render/print/print_render.h"

#include <QBuffer>
#include <QFile>
#include <QGuiApplication>
#include <QPdfWriter>
#include <QSaveFile>
#include <QSvgGenerator>
#include <cstdio>
#include <functional>

namespace takton::print {
namespace {

constexpr int kPdfResolution = 300;

[[noreturn]] void CannotWrite(const std::string &path) {
    throw TaktonError("In " + PathForMessage(path) + " kann nicht geschrieben werden");
}

// The PDF goes to a temporary file beside the target that replaces it only
// when complete.
void WritePdf(const std::string &path, const QString &title, const QPageLayout &layout,
              const std::function<bool(QPdfWriter &)> &paint) {
    QSaveFile file(QFile::decodeName(path.c_str()));
    if (!file.open(QIODevice::WriteOnly))
        CannotWrite(path);
    bool written = false;
    {
        QPdfWriter writer(&file);
        writer.setTitle(title);
        writer.setCreator(QStringLiteral("Takton"));
        writer.setResolution(kPdfResolution);
        writer.setPageLayout(layout);
        written = paint(writer);
    }
    if (!written || !file.commit())
        CannotWrite(path);
}

std::string LowerExtension(const std::string &path) {
    const auto dot = path.find_last_of('.');
    const auto slash = path.find_last_of('/');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return {};
    std::string ext = path.substr(dot + 1);
    for (auto &c : ext)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return ext;
}

} // namespace

void WriteTimetablePdf(const std::string &path, const std::vector<TPrintTimetable> &tables,
                       const std::string &validity) {
    const QString title = tables.empty() ? QStringLiteral("Fahrplantabelle")
                                         : QStringLiteral("Fahrplantabelle Linie ") +
                                               FromCp1252Text(tables.front().Line);
    WritePdf(path, title, TimetablePageLayout(), [&](QPdfWriter &writer) {
        return PaintTimetables(writer, tables, FromCp1252Text(validity));
    });
}

void WritePosterPdf(const std::string &path, const TPoster &poster, const std::string &validity) {
    WritePdf(path, QStringLiteral("Aushangfahrplan ") + FromCp1252Text(poster.Station),
             PosterPageLayout(), [&](QPdfWriter &writer) {
                 return PaintPoster(writer, poster, FromCp1252Text(validity));
             });
}

void WriteGraphFile(const std::string &path, const TGraph &graph) {
    const std::string ext = LowerExtension(path);
    if (ext == "svg") {
        const QByteArray svg = RenderGraphSvg(graph, 1);
        WriteWholeFile(path,
                       std::string_view(svg.constData(), static_cast<std::size_t>(svg.size())));
    } else if (ext == "pdf") {
        WritePdf(path, QStringLiteral("Bildfahrplan Linie ") + FromCp1252Text(graph.Line),
                 TimetablePageLayout(),
                 [&](QPdfWriter &writer) { return PaintGraphPage(writer, graph); });
    } else if (ext == "png") {
        QSaveFile file(QFile::decodeName(path.c_str()));
        if (!file.open(QIODevice::WriteOnly))
            CannotWrite(path);
        const bool written = RenderGraphImage(graph, 1).save(&file, "PNG");
        if (!written || !file.commit())
            CannotWrite(path);
    } else {
        throw TaktonError("Der Bildfahrplan wird als PNG, SVG oder PDF gespeichert, nicht als " +
                          (ext.empty() ? std::string("Datei ohne Endung") : "." + ext) + ".");
    }
}

// Qt's notes about the missing window system are no business of a command-line
// user; real errors still reach standard error.
void QuietHandler(QtMsgType type, const QMessageLogContext &, const QString &message) {
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::fprintf(stderr, "%s\n", qPrintable(message));
}

struct TOffscreenGui::Impl {
    int argc = 3;
    char name[16] = "takton-cli";
    char option[16] = "-platform";
    char platform[16] = "offscreen";
    char *argv[4] = {name, option, platform, nullptr};
    std::unique_ptr<QGuiApplication> app;
    QtMessageHandler previous = nullptr;
};

TOffscreenGui::TOffscreenGui() : impl_(std::make_unique<Impl>()) {
    if (QGuiApplication::instance())
        return;
    impl_->previous = qInstallMessageHandler(QuietHandler);
    impl_->app = std::make_unique<QGuiApplication>(impl_->argc, impl_->argv);
}

TOffscreenGui::~TOffscreenGui() {
    if (impl_->app) {
        impl_->app.reset();
        qInstallMessageHandler(impl_->previous);
    }
}

} // namespace takton::print
