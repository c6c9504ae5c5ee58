// Painting the timetable-sized grid: 512 columns and 300 rows, of which only
// the cells in sight are drawn. Runs on the offscreen platform unless another
// one is set.

#include "gui/common/string_grid_view.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>
#include <memory>

using namespace takton;
using namespace takton::gui;

namespace {

std::unique_ptr<TStringGridView> TimetableSizedGrid() {
    auto view = std::make_unique<TStringGridView>();
    TStringGrid &grid = view->Grid();
    grid.SetColCount(512);
    grid.SetRowCount(300);
    grid.SetFixedCols(2);
    grid.SetFixedRows(2);
    grid.DefaultColWidth = 48;
    grid.DefaultRowHeight = 18;
    grid.SetColWidth(0, 20);
    grid.SetColWidth(1, 140);
    for (int r = 2; r < 300; ++r) {
        grid.SetCell(0, r, "+");
        grid.SetCell(1, r, "Station " + std::to_string(r));
        for (int c = 2; c < 512; ++c)
            grid.SetCell(c, r, "0" + std::to_string(5 + c % 5) + ":" + std::to_string(10 + r % 50));
    }
    view->resize(770, 480);
    view->Refresh();
    view->show();
    return view;
}

// One full paint of the viewport, with the timetable's stripes drawn over it.
void PaintBench(benchmark::State &state, bool atFarCorner) {
    auto view = TimetableSizedGrid();
    if (atFarCorner)
        view->MoveTo(511, 299);
    long long cells = 0;
    view->OnDrawCell = [&cells](QPainter &painter, const QRect &rect, int col, int row,
                                const TGridDrawState &) {
        ++cells;
        if (col >= 2 && row % 2 == 0)
            painter.fillRect(rect, QColor(255, 251, 240));
    };
    QImage image(view->viewport()->size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        view->viewport()->render(&image);
        benchmark::DoNotOptimize(image.bits());
    }
    state.counters["cells_per_paint"] =
        benchmark::Counter(static_cast<double>(cells) / static_cast<double>(state.iterations()));
}

void BM_PaintGridAtStart(benchmark::State &state) {
    PaintBench(state, false);
}
void BM_PaintGridAtFarCorner(benchmark::State &state) {
    PaintBench(state, true);
}

// Walking one cell right through the whole grid: move, scroll and repaint.
void BM_ArrowRightAndRepaint(benchmark::State &state) {
    auto view = TimetableSizedGrid();
    view->SetEditing(false);
    QImage image(view->viewport()->size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        if (!view->MoveTo(view->Col() + 1, view->Row()))
            view->MoveTo(2, view->Row());
        view->viewport()->render(&image);
    }
}

BENCHMARK(BM_PaintGridAtStart)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PaintGridAtFarCorner)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ArrowRightAndRepaint)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char **argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
