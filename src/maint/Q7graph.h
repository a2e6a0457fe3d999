#pragma once
// "Graphiques": the collection drawn from one reading of the catalogue, chart by chart,
// with the numbers in a table beside each one; saved as an image or printed.
#include "maint/ChartFigures.h"
#include "maint/ChartPaint.h"

#include <QDialog>

#include <map>
#include <memory>

struct AppState;
struct Services;

class QChartView;

namespace Ui {
class Tformgraph;
}

class Tformgraph : public QDialog {
    Q_OBJECT

public:
    Tformgraph(AppState& state, Services& services, QWidget* parent = nullptr);
    ~Tformgraph() override;

    // Reads the whole catalogue once; every chart is then drawn from what was read.
    void load();
    // The chart shown and what it shows (for the tests and the benchmark).
    const ChartTexts& shown() const { return texts_; }
    QChartView* view() const { return view_; }

public Q_SLOTS:
    void cbgraphChange(int index);
    void styleChange();
    void btenregistrerClick();
    void btimprimerClick();

private:
    q7::Chart current() const;
    q7::ChartStyle style() const;
    void showChart();

    std::unique_ptr<Ui::Tformgraph> ui;
    AppState& state_;
    Services& services_;
    QChartView* view_ = nullptr;
    q7::CollectionFigures figures_;
    ChartTexts texts_;
    // The collector's choice of pie or bars, per chart, for this run.
    std::map<q7::Chart, q7::ChartStyle> styles_;
};
