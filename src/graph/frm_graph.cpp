// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "graph/frm_graph.h"

#include "graph/axis_label.h"
#include "graph/graph_layout.h"
#include "graph/graph_printout.h"
#include "graph/image_button.h"
#include "graph/plot_box.h"
#include "graph/plot_geometry.h"
#include "graph/scale_combo.h"
#include "shared/close_picture.h"
#include "shared/printout_run.h"
#include "shared/twips.h"

#include <QCheckBox>
#include <QPushButton>

namespace clampmeter {
namespace {

const QColor kWhite(255, 255, 255);

/// Check1, the choosers and Print use the dialog font of the design.
QFont dialogFont()
{
    return designFont("MS Sans Serif", 8.25, QFont::Normal);
}

struct NavigationSpec {
    const char* name;
    int left; // twips
    NavigationButton button;
    const char* accessibleName;
};

const NavigationSpec kNavigation[] = {
    {"imgbtnfirst", 4200, NavigationButton::First, "First window"},
    {"imgbtnleft", 5160, NavigationButton::Left, "Half a window back"},
    {"imgbtncenter", 6120, NavigationButton::Centre, "Follow new readings"},
    {"imgbtnright", 7080, NavigationButton::Right, "Half a window forward"},
    {"imgbtnend", 8040, NavigationButton::End, "Last window"},
};

} // namespace

Frm_Graph::Frm_Graph(VarModule& vars, PrintHost& host, QWidget* parent)
    : SkinnedWindow(QStringLiteral(":/graph/graph_skin.svg"), QSize(693, 668), parent)
    , m_vars(vars)
    , m_host(host)
    , m_plot(vars, *this)
{
    setObjectName(QStringLiteral("Frm_Graph"));
    setWindowTitle(QStringLiteral("Data graph — clampmeter"));
    setAccessibleName(QStringLiteral("Data graph"));
    // The skin covers the whole window; the window keeps the system's palette, which the
    // controls drawn in the system's colours (Check1, the opaque readout labels) inherit.
    buildControls();
}

Frm_Graph::~Frm_Graph() = default;

void Frm_Graph::buildControls()
{
    auto* title
        = new AxisLabel("Label5", 240, 120, QStringLiteral("Data Graph"), Qt::AlignLeft, this);
    title->setFont(designFont("MS Sans Serif", 12, QFont::Bold));
    setTextColour(title, kWhite);
    title->resize(twipRect(240, 120, 1695, 375).size()); // the title keeps its designed size

    auto* closePicture = new ClosePicture(twipRect(9975, 60, 405, 390), this);
    connect(closePicture, &QAbstractButton::clicked, this, &QWidget::hide);

    auto* cross = new QCheckBox(QStringLiteral("Cross"), this);
    cross->setObjectName(QStringLiteral("Check1"));
    cross->setGeometry(twipRect(960, 720, 735, 315));
    cross->setFont(dialogFont());
    cross->setChecked(m_vars.CrossOn);
    cross->setAccessibleDescription(QStringLiteral("Shows the dotted grid lines of the plot"));
    // The system's window colours, whatever the skin around it.
    cross->setAutoFillBackground(true);
    // Every way of changing the check mark (a click, Space, a screen reader's toggle)
    // switches the grid.
    connect(cross, &QCheckBox::toggled, this, [this](bool checked) { m_plot.switchGrid(checked); });

    buildScaleChoosers();
    buildNavigation();

    auto* print = new QPushButton(QStringLiteral("Print"), this);
    print->setObjectName(QStringLiteral("Command1"));
    print->setGeometry(twipRect(9120, 720, 975, 300));
    print->setFont(dialogFont());
    connect(print, &QPushButton::clicked, this, &Frm_Graph::Command1_Click);

    m_plotBox = new PlotBox(m_vars, this);
    m_plotBox->setGeometry(twipRect(
        kPicture1Place.left, kPicture1Place.top, kPicture1WidthTwips, kPicture1HeightTwips));
    connect(m_plotBox, &PlotBox::pointerMoved, this,
        [this](double x, double y) { m_plot.mouseMove(x, y, kPlotWidth, kPlotHeight); });
    connect(m_plotBox, &PlotBox::pointerLeft, this, [this] { m_plot.pointerLeft(); });

    buildAxisLabels();
}

void Frm_Graph::buildScaleChoosers()
{
    auto* xCaption
        = new AxisLabel("Label8(0)", 2160, 480, QStringLiteral("X"), Qt::AlignLeft, this);
    auto* yCaption
        = new AxisLabel("Label8(8)", 3360, 480, QStringLiteral("Y"), Qt::AlignLeft, this);
    auto* xCombo = new ScaleCombo("X_Combo", QStringLiteral("100"), this);
    xCombo->setGeometry(twipRect(1800, 720, 1095, 315));
    auto* yCombo = new ScaleCombo("Y_Combo", QStringLiteral("600"), this);
    yCombo->setGeometry(twipRect(3000, 720, 1095, 315));
    // A screen reader names a chooser by the caption tied to it (on Linux a combo box's own
    // name is its text), so the captions carry the choosers' purpose.
    const struct {
        AxisLabel* caption;
        ScaleCombo* combo;
        QString purpose;
    } choosers[] = {{xCaption, xCombo, QStringLiteral("Records per window")},
        {yCaption, yCombo, QStringLiteral("Full scale")}};
    for (const auto& chooser : choosers) {
        chooser.combo->setFont(dialogFont());
        chooser.combo->setAccessibleName(chooser.purpose);
        chooser.caption->setAccessibleName(chooser.purpose);
        chooser.caption->setBuddy(chooser.combo);
    }

    // The load step: the lists are filled once, when the window is created.
    xCombo->fill(kXScaleItems);
    yCombo->fill(kYScaleItems);
    connect(xCombo, &ScaleCombo::itemChosen, this,
        [this](const QString& item) { m_plot.chooseXScale(item.toStdString()); });
    connect(yCombo, &ScaleCombo::itemChosen, this,
        [this](const QString& item) { m_plot.chooseYScale(item.toStdString()); });
}

void Frm_Graph::buildNavigation()
{
    int normal = 1;
    for (const NavigationSpec& spec : kNavigation) {
        auto* button = new ImageButton(normal, normal + 5, this);
        ++normal;
        button->setObjectName(QString::fromLatin1(spec.name));
        button->setAccessibleName(QString::fromLatin1(spec.accessibleName));
        button->setGeometry(twipRect(spec.left, 720, 900, 315));
        const NavigationButton which = spec.button;
        connect(button, &QAbstractButton::clicked, this, [this, which] { m_plot.navigate(which); });
    }
}

void Frm_Graph::buildAxisLabels()
{
    auto addLabel = [this](const char* name, DesignPlace place, const QString& caption,
                        Qt::Alignment alignment) {
        return new AxisLabel(name, place.left, place.top, caption, alignment, this);
    };
    m_label2 = addLabel("Label2", kLabel2Place, QStringLiteral("Y"), Qt::AlignLeft);
    m_label1 = addLabel("Label1", kLabel1Place, QStringLiteral("X"), Qt::AlignLeft);
    for (int k = 0; k < kYLabels; ++k) {
        const QByteArray name = "Y_Label(" + QByteArray::number(k) + ")";
        m_yLabels[static_cast<std::size_t>(k)] = addLabel(name.constData(),
            kYLabelPlaces[static_cast<std::size_t>(k)], QString::number(k * 50), Qt::AlignRight);
    }
    const XLabelTexts design = xLabelTexts(m_vars.GraphStart, m_vars.XScale);
    m_xLabels = {
        addLabel("X_Label1", kXLabelPlaces[0], qText(design.first), Qt::AlignLeft),
        addLabel("X_Label2", kXLabelPlaces[1], qText(design.middle), Qt::AlignHCenter),
        addLabel("X_Label3", kXLabelPlaces[2], qText(design.last), Qt::AlignRight),
    };
    m_xLabels[0]->setAccessibleName(QStringLiteral("First record of the window"));
    m_xLabels[1]->setAccessibleName(QStringLiteral("Middle record of the window"));
    m_xLabels[2]->setAccessibleName(QStringLiteral("Last record of the window"));
}

void Frm_Graph::showAt(QPoint topLeft)
{
    show();
    move(topLeft);
    raise();
    activateWindow();
    Picture1_Paint();
}

void Frm_Graph::Picture1_Paint()
{
    m_plotBox->redraw();
}

void Frm_Graph::Command1_Click()
{
    runPrintout(m_host, "KR-610 Graph Report", "printer error!", [this](PagePrinter& printer) {
        const CaptureTime now = m_host.printTime();
        return printGraph(m_vars, captions(), printer, now.date + ' ' + now.time);
    });
    m_host.resynchronise();
}

GraphCaptions Frm_Graph::captions() const
{
    GraphCaptions captions;
    for (std::size_t k = 0; k < m_yLabels.size(); ++k)
        captions.yLabels[k] = m_yLabels[k]->text().toStdString();
    for (std::size_t k = 0; k < m_xLabels.size(); ++k)
        captions.xLabels[k] = m_xLabels[k]->text().toStdString();
    captions.label1 = m_label1->text().toStdString();
    captions.label2 = m_label2->text().toStdString();
    return captions;
}

void Frm_Graph::LiveGraphUpdate()
{
    m_plot.LiveGraphUpdate();
}

void Frm_Graph::setXLabels(const XLabelTexts& texts)
{
    m_xLabels[0]->setCaption(qText(texts.first));
    m_xLabels[1]->setCaption(qText(texts.middle));
    m_xLabels[2]->setCaption(qText(texts.last));
}

void Frm_Graph::setYLabel(int k, std::string_view caption)
{
    m_yLabels.at(static_cast<std::size_t>(k))->setCaption(qText(caption));
}

void Frm_Graph::clearAndRedraw()
{
    m_plotBox->redraw();
}

void Frm_Graph::drawNewestPoint()
{
    m_plotBox->addNewestPoint();
}

void Frm_Graph::showNewestMarker(const PointMarker& marker)
{
    m_plotBox->showMarker(PlotBox::Marker::Newest, marker);
}

void Frm_Graph::hideNewestMarker()
{
    m_plotBox->hideMarker(PlotBox::Marker::Newest);
}

void Frm_Graph::showReadout(const PointMarker& marker)
{
    m_plotBox->showMarker(PlotBox::Marker::Readout, marker);
}

void Frm_Graph::hideReadout()
{
    m_plotBox->hideMarker(PlotBox::Marker::Readout);
}

} // namespace clampmeter
