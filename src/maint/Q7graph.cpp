#include "maint/Q7graph.h"

#include "ui_Q7graph.h"

#include "output/OutputFile.h"
#include "platform/Command.h"
#include "platform/QtText.h"
#include "platform/Services.h"
#include "record/AppState.h"

#include <QChart>
#include <QChartView>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QSignalBlocker>
#include <QVBoxLayout>

Tformgraph::Tformgraph(AppState& state, Services& services, QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::Tformgraph>()), state_(state), services_(services) {
    ui->setupUi(this);
    view_ = new QChartView(ui->zonegraph);
    view_->setObjectName(QStringLiteral("vuegraph"));
    view_->setRenderHint(QPainter::Antialiasing);
    view_->setFocusPolicy(Qt::NoFocus);
    auto* zone = new QVBoxLayout(ui->zonegraph);
    zone->setContentsMargins(0, 0, 0, 0);
    zone->addWidget(view_);
    for (const q7::ChartInfo& info : q7::chartTable())
        ui->cbgraph->addItem(QString::fromUtf8(info.title), int(info.chart));
    ui->tabchiffres->setColumnCount(2);
    ui->tabchiffres->verticalHeader()->hide();
    ui->tabchiffres->setWordWrap(false);
    ui->tabchiffres->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    ui->tabchiffres->horizontalHeader()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    resize(1180, 680); // room for the names beside the bars of a ranking

    Dialogs& d = services_.dialogs;
    connect(ui->cbgraph, &QComboBox::currentIndexChanged, this,
            guarded(d, this, &Tformgraph::cbgraphChange));
    connect(ui->rbsecteurs, &QRadioButton::toggled, this,
            guarded(d, this, &Tformgraph::styleChange));
    connect(ui->btenregistrer, &QPushButton::clicked, this,
            guarded(d, this, &Tformgraph::btenregistrerClick));
    connect(ui->btimprimer, &QPushButton::clicked, this,
            guarded(d, this, &Tformgraph::btimprimerClick));
    connect(ui->btfermer, &QPushButton::clicked, this, &QDialog::accept);
}

Tformgraph::~Tformgraph() = default;

q7::Chart Tformgraph::current() const {
    return q7::Chart(ui->cbgraph->currentData().toInt());
}

void Tformgraph::load() {
    {
        BusyCursor busy(services_.cursor);
        figures_ = q7::collectFigures(state_.data, state_.buffer);
    }
    showChart();
    ui->cbgraph->setFocus();
}

void Tformgraph::cbgraphChange(int) {
    showChart();
}

void Tformgraph::styleChange() {
    styles_[current()] = ui->rbsecteurs->isChecked() ? q7::ChartStyle::pie : q7::ChartStyle::bar;
    showChart();
}

q7::ChartStyle Tformgraph::style() const {
    const auto chosen = styles_.find(current());
    if (chosen != styles_.end()) return chosen->second;
    // Past eight slices a pie's small ones cannot be told apart: bars, unless asked.
    const q7::ChartStyle usual = q7::chartInfo(current()).style;
    return usual == q7::ChartStyle::pie && figures_.chart(current()).bars.size() > 8
               ? q7::ChartStyle::bar
               : usual;
}

void Tformgraph::showChart() {
    const q7::Chart chart = current();
    const q7::ChartStyle style = this->style();
    {
        const QSignalBlocker quiet(ui->rbsecteurs);
        ui->rbsecteurs->setChecked(style == q7::ChartStyle::pie);
        ui->rbbarres->setChecked(style == q7::ChartStyle::bar);
    }
    texts_ = chartTexts(chart, figures_.chart(chart), fromBytes(state_.settings.devise));

    QChart* old = view_->chart();
    view_->setChart(makeChart(texts_, style));
    delete old;
    view_->setAccessibleName(texts_.title);
    view_->setAccessibleDescription(chartDescription(texts_));

    QTableWidget& table = *ui->tabchiffres;
    table.clearContents();
    table.setRowCount(int(texts_.labels.size()));
    table.setHorizontalHeaderLabels({texts_.categoryAxis, texts_.valueAxis});
    for (int row = 0; row < int(texts_.labels.size()); ++row) {
        auto* name = new QTableWidgetItem(texts_.labels[row]);
        name->setToolTip(texts_.labels[row]); // read whole where the column cuts it
        table.setItem(row, 0, name);
        auto* number = new QTableWidgetItem(texts_.valueTexts[row]);
        number->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        table.setItem(row, 1, number);
    }
    table.setAccessibleDescription(texts_.title);
    ui->lblnotes->setText(texts_.notes.join(u'\n'));
    ui->lblnotes->setVisible(!texts_.notes.isEmpty());
    ui->btenregistrer->setEnabled(!texts_.labels.isEmpty());
    ui->btimprimer->setEnabled(!texts_.labels.isEmpty());
}

void Tformgraph::btenregistrerClick() {
    const QString folder = QDir(QFile::decodeName(state_.folder.dir().c_str())).absolutePath();
    // The title makes the proposed name; a slash would make it a folder.
    QString proposed = texts_.title;
    proposed.replace(u'/', u'-');
    const auto chosen = services_.dialogs.saveFileName(
        QStringLiteral("Enregistrer l'image"),
        QDir(folder).filePath(proposed + QStringLiteral(".png")),
        {QStringLiteral("Image PNG (*.png)"), QStringLiteral("Image SVG (*.svg)")});
    if (!chosen) return;
    QString name = *chosen;
    if (!name.endsWith(QStringLiteral(".png"), Qt::CaseInsensitive) &&
        !name.endsWith(QStringLiteral(".svg"), Qt::CaseInsensitive))
        name += QStringLiteral(".png");
    BusyCursor busy(services_.cursor);
    const QByteArray image = renderImage(*view_->scene(), view_->sceneRect(), view_->size(),
                                         imageFormatOf(name), texts_.title);
    // Written beside and renamed over: a full disk leaves the earlier image whole.
    q7::OutputFile out(services_.fs, QFile::encodeName(name).toStdString());
    out.buffer().assign(image.constData(), std::size_t(image.size()));
    out.finish();
}

void Tformgraph::btimprimerClick() {
    BusyCursor busy(services_.cursor);
    printChart(services_.printer, texts_, view_->width() > view_->height(),
               chartSvg(texts_, style()));
}
