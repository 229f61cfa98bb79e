// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "list/frm_list.h"

#include "list/list_grid_view.h"
#include "list/list_printout.h"
#include "shared/close_picture.h"
#include "shared/printout_run.h"
#include "shared/reading_panel.h"
#include "shared/twips.h"
#include "shared/value_label.h"

#include <QMouseEvent>
#include <QPushButton>

namespace clampmeter {
namespace {

constexpr Qt::Alignment kLeft = Qt::AlignLeft | Qt::AlignTop;
constexpr Qt::Alignment kRight = Qt::AlignRight | Qt::AlignTop;
constexpr Qt::Alignment kCentre = Qt::AlignHCenter | Qt::AlignTop;
const QColor kLightGrey(192, 192, 192);

/// A label of the window: read by assistive tools as name and value, and pressing it never
/// drags the window.
class ListLabel final : public ValueLabel {
public:
    using ValueLabel::ValueLabel;

protected:
    void mousePressEvent(QMouseEvent* event) override { event->accept(); }
};

struct LabelSpec {
    const char* name;
    int left, top, width, height; // twips
    const char* caption;
    double points;
    QFont::Weight weight;
    FontStyle style;
    Qt::Alignment alignment;
    QColor colour;
    const char* accessibleName;
};

ValueLabel* addLabel(const LabelSpec& spec, QWidget* parent)
{
    auto* label = new ListLabel(QString::fromLatin1(spec.caption), parent);
    label->setObjectName(QString::fromLatin1(spec.name));
    label->setGeometry(twipRect(spec.left, spec.top, spec.width, spec.height));
    label->setFont(designFont("Arial", spec.points, spec.weight, spec.style));
    label->setAlignment(spec.alignment);
    setTextColour(label, spec.colour);
    if (spec.accessibleName != nullptr) {
        label->setAccessibleName(QString::fromLatin1(spec.accessibleName));
        // A label whose value changes fills its own background in the colour under it, so
        // that a new value repaints the label alone, not the picture behind it.
        setBackgroundColour(label, parent->palette().color(QPalette::Window));
    }
    return label;
}

const QColor kBlack(0, 0, 0);
const QColor kWhite(255, 255, 255);
const QColor kFullRed(255, 0, 0);
constexpr auto kBold = QFont::Bold;
constexpr auto kNormal = QFont::Normal;
constexpr auto kUpright = FontStyle::Upright;

// Labels on the window itself, then the two inside the reading panel.
constexpr std::size_t kWindowLabels = 4;
const LabelSpec kLabels[] = {
    {"Label5", 240, 120, 1695, 375, "Data List", 12, kBold, kUpright, kLeft, kWhite, nullptr},
    {"Label3", 120, 2445, 975, 375, "DataNo.", 12, kBold, kUpright, kLeft, kBlack, nullptr},
    {"Label4", 1200, 2445, 1455, 375, "0", 12, kBold, kUpright, kLeft, kBlack, "Number of records"},
    {"Label2", 2880, 2445, 1575, 375, "MAX:  50000", 12, kBold, kUpright, kLeft, kBlack, nullptr},
    {"maindatashow", 480, 240, 2655, 855, "000.0", 36, kBold, kUpright, kRight, kBlack,
        "Latest reading"},
    {"Label1", 3120, 600, 855, 375, "unit", 14.25, kNormal, FontStyle::Italic, kCentre, kBlack,
        "Unit of the latest reading"},
};

} // namespace

Frm_List::Frm_List(VarModule& vars, ListCommandHost& host, QWidget* parent)
    : SkinnedWindow(QStringLiteral(":/list/list_skin.svg"), QSize(324, 668), parent)
    , m_vars(vars)
    , m_host(host)
    , m_model(vars)
{
    setObjectName(QStringLiteral("Frm_List"));
    setWindowTitle(QStringLiteral("Data list — clampmeter"));
    setAccessibleName(QStringLiteral("Data list"));
    setBackgroundColour(this, QColor(172, 201, 246));
    buildControls();
}

Frm_List::~Frm_List() = default;

void Frm_List::buildControls()
{
    auto* closePicture = new ClosePicture(twipRect(4440, 60, 405, 390), this);
    connect(closePicture, &QAbstractButton::clicked, this, &QWidget::hide);

    for (std::size_t i = 0; i < kWindowLabels; ++i)
        addLabel(kLabels[i], this);
    m_counter = findChild<ValueLabel*>(QStringLiteral("Label4"));

    auto* picture1 = new ReadingPanel("Picture1", kLightGrey, twipRect(120, 480, 4634, 1335), this);
    picture1->setAccessibleName(QStringLiteral("Latest")); // a screen reader adds "panel"
    m_maindatashow = addLabel(kLabels[kWindowLabels], picture1);
    m_unitLabel = addLabel(kLabels[kWindowLabels + 1], picture1);
    picture1->setReadingLabels({{m_maindatashow, m_unitLabel}});

    QPushButton* clear = addButton("Command1", 120, 1215, "Clear list");
    QPushButton* save = addButton("Command2", 1320, 1095, "Save");
    QPushButton* excel = addButton("Command3", 2400, 1095, "To Excel");
    QPushButton* print = addButton("Command4", 3480, 1215, "Print");
    connect(clear, &QPushButton::clicked, this, &Frm_List::Command1_Click);
    connect(save, &QPushButton::clicked, this, [this] { m_host.Form1SaveSub(); });
    connect(excel, &QPushButton::clicked, this, [this] { m_host.Form1ExcelSub(); });
    connect(print, &QPushButton::clicked, this, [this] {
        ListPrintSub();
        m_host.resynchronise();
    });

    m_grid = new ListGridView(m_model, this);
    m_grid->setObjectName(QStringLiteral("MSFlexGrid1"));
    m_grid->setAccessibleName(QStringLiteral("Readings list"));
    m_grid->setGeometry(twipRect(90, 2760, 4664, 7215));

    setTabOrder(m_grid, picture1);
    setTabOrder(picture1, clear);
    setTabOrder(clear, save);
    setTabOrder(save, excel);
    setTabOrder(excel, print);
    m_grid->setFocus();
}

QPushButton* Frm_List::addButton(const char* name, int left, int width, const char* caption)
{
    auto* button = new QPushButton(QString::fromLatin1(caption), this);
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(twipRect(left, 1920, width, 495));
    button->setFont(designFont("Arial", 11.25, QFont::Bold));
    return button;
}

void Frm_List::writeHeaders()
{
    m_model.writeHeaders();
}

void Frm_List::showAtHome()
{
    show();
    move(twipsToPixels(0), twipsToPixels(200));
    raise();
    activateWindow();
}

void Frm_List::Command1_Click()
{
    if (const std::int32_t unsaved = m_host.unsavedReadings();
        unsaved > 0 && !m_host.confirm(clearQuestion(unsaved)))
        return;
    m_vars.DataCount = 0;
    m_model.clear();
    m_counter->showValue(QStringLiteral("0"));
    setStoreFull(false);
    m_host.listCleared();
}

void Frm_List::showStoreFull()
{
    setStoreFull(true);
}

void Frm_List::setStoreFull(bool full)
{
    if (full == m_storeFull)
        return;
    m_storeFull = full;
    setTextColour(m_counter, full ? kFullRed : kBlack);
    m_counter->setAccessibleDescription(full
            ? QStringLiteral("The log is full: newer readings are not "
                             "listed, the session journal keeps them")
            : QString());
}

void Frm_List::ListPrintSub()
{
    runPrintout(m_host, "KR-6080 Data Report", "print data error!", [this](PagePrinter& printer) {
        return printList(m_vars, printer, m_host.printTime().date);
    });
}

void Frm_List::setUnitCaption(std::string_view caption)
{
    m_unitLabel->showValue(qText(caption));
}

void Frm_List::setMainText(std::string_view text)
{
    m_maindatashow->showValue(qText(text));
}

void Frm_List::insertRecordRow(const DataRecord& record)
{
    m_model.addNewestRow();
    m_counter->showValue(QString::number(record.No));
    m_grid->fitRecordNumber(record.No);
    m_grid->fitTimeStamp(qText(record.StampText));
    m_grid->followNewestRow();
}

} // namespace clampmeter
