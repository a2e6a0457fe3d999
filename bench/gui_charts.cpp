// The chart window, offscreen: from Alt+G in the statistics window to the chart window
// painted, at 1 and 40 000 records (and the chart changed within the window).
#include "Catalogue.h"
#include "GuiServices.h"
#include "Timing.h"

#include "maint/Q7graph.h"
#include "maint/Q7info.h"
#include "record/AppState.h"

#include <QApplication>
#include <QComboBox>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <chrono>
#include <cstdio>

namespace {

using Steady = std::chrono::steady_clock;

// Notes when the chart window has been painted, then closes it as a user who has seen
// it would; in between, runs what the run asks for inside it.
class Watch : public QObject {
public:
    Steady::time_point paintedAt;
    std::function<void(Tformgraph&)> inside;

    bool eventFilter(QObject* object, QEvent* event) override {
        auto* graph = qobject_cast<Tformgraph*>(object);
        if (graph && event->type() == QEvent::Paint && !closing_) {
            closing_ = graph;
            QTimer::singleShot(0, graph, [this, graph] {
                paintedAt = Steady::now();
                if (inside) inside(*graph);
                closing_ = nullptr;
                graph->done(0);
            });
        }
        return false;
    }

private:
    QPointer<QWidget> closing_;
};

double since(Steady::time_point t0, Steady::time_point t1) {
    return std::chrono::duration<double>(t1 - t0).count();
}

} // namespace

int main(int argc, char** argv) {
    bench::offscreenUnlessAsked();
    QApplication app(argc, argv);
    const int runs = bench::runsFromArguments(argc, argv, 9);
    Watch watch;
    app.installEventFilter(&watch);
    std::printf("the chart window on \"%s\"; median of %d runs [min - max]; load %s\n",
                qPrintable(QGuiApplication::platformName()), runs, bench::loadAverage().c_str());
    int missed = 0;
    for (const int records : {1, q7::maxRecords}) {
        QTemporaryDir tmp;
        const std::string dir = tmp.path().toStdString();
        bench::generateCatalogue(dir + "/Q7.dat", records);
        bench::GuiServices services(dir);
        AppState state(q7::Folder(q7::posixFileSystem(), dir));
        state.data.open();
        Tforminfo info(state, services.services);
        info.show();
        QApplication::setActiveWindow(&info);
        if (!QTest::qWaitForWindowActive(&info)) qFatal("the statistics window is not active");

        bench::Samples open, change;
        for (int i = 0; i < runs; ++i) {
            // Each chart in turn, drawn and painted in the open window.
            Steady::time_point t1, t2;
            watch.inside = [&](Tformgraph& g) {
                auto* box = g.findChild<QComboBox*>(QStringLiteral("cbgraph"));
                t1 = Steady::now();
                box->setCurrentIndex((box->currentIndex() + 1) % box->count());
                g.repaint();
                t2 = Steady::now();
            };
            QApplication::setActiveWindow(&info);
            if (!QTest::qWaitForWindowActive(&info)) qFatal("the statistics window is not active");
            watch.paintedAt = {};
            const auto t0 = Steady::now();
            QWidget* focus = QApplication::focusWidget();
            QTest::keyClick(focus ? focus : &info, Qt::Key_G, Qt::AltModifier);
            QApplication::processEvents();
            if (watch.paintedAt < t0) qFatal("the chart window was not painted");
            open.add(since(t0, watch.paintedAt));
            change.add(since(t1, t2));
        }
        std::printf("\n%d records (%.1f MB)\n", records, records * 1048 / 1e6);
        bench::printTimes("Alt+G \u2192 painted", open);
        missed += bench::printExcess("goal from the key", open.median() * 1e3, 0, 150) ==
                  bench::Verdict::Missed;
        bench::printTimes("another chart chosen -> painted", change);
    }
    std::printf("\ngoals missed: %d\n", missed);
    return missed == 0 ? 0 : 1;
}
