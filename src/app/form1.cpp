// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/form1.h"

#include "app/meter_artwork.h"
#include "app/window_shape.h"
#include "list/frm_list.h"
#include "platform/bridge_reconnector.h"
#include "platform/qt_output_files.h"
#include "platform/qt_page_printer.h"
#include "platform/qt_save_dialog.h"
#include "platform/serial_link.h"
#include "shared/reading_panel.h"
#include "shared/twips.h"
#include "shared/value_label.h"
#include "shared/widget_helpers.h"

#include <QApplication>
#include <QCloseEvent>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>

namespace clampmeter {
namespace {

struct LabelSpec {
    const char* name;
    int left, top, width, height; // twips, within the display panel
    const char* caption;
    const char* family;
    double points;
    QFont::Weight weight;
    Qt::Alignment alignment;
    bool hidden;
};

constexpr Qt::Alignment kLeft = Qt::AlignLeft | Qt::AlignTop;
constexpr Qt::Alignment kRight = Qt::AlignRight | Qt::AlignTop;
constexpr Qt::Alignment kCentre = Qt::AlignHCenter | Qt::AlignTop;
constexpr QFont::Weight kBold = QFont::Bold;
constexpr QFont::Weight kNormal = QFont::Normal;

// The reading labels of the display panel, with their design captions.
constexpr LabelSpec kDisplayLabels[] = {
    {"MainDataLabel", 0, 330, 1335, 495, "000.0", "Arial", 24, kBold, kRight, false},
    {"SlaveDataLabel", 360, 960, 1050, 375, "000.0", "Arial", 18, kBold, kCentre, false},
    {"Label1", 120, 120, 255, 255, "AC", "Tahoma", 8.25, kBold, kLeft, false},
    {"Label4", 480, 120, 285, 255, "MR", "Tahoma", 8.25, kNormal, kLeft, false},
    {"Label6", 840, 120, 540, 255, "3@3w", "Tahoma", 8.25, kNormal, kLeft, false},
    {"Label5", 1440, 120, 375, 255, "MAX", "Arial", 8.25, kBold, kLeft, true},
    {"Label7", 1275, 540, 495, 255, "kw", "Tahoma", 8.25, kBold, kRight, false},
    {"Label9", 360, 840, 735, 255, "AC", "Tahoma", 8.25, kBold, kLeft, false},
    {"Label8", 1200, 1080, 495, 255, "v", "Tahoma", 8.25, kBold, kRight, false},
    {"Label10", 0, 1140, 375, 255, " MEM", "Tahoma", 8.25, kNormal, kLeft, false},
    {"Label11", 60, 1320, 330, 255, "00", "Tahoma", 10.5, kBold, kLeft, false},
    {"Label12", 720, 1350, 255, 255, "@1", "Tahoma", 8.25, kNormal, kLeft, false},
    {"Label13", 1560, 1350, 255, 255, "bat", "Tahoma", 8.25, kNormal, kLeft, false},
};

/// What assistive tools call each control of the panel, and what they add about it. The
/// labels' texts are their values.
struct AccessibleText {
    const char* control;
    const char* name;
    const char* description = nullptr;
};

constexpr AccessibleText kAccessibleTexts[] = {
    {"Picture1", "Display"},
    {"MainDataLabel", "Main reading"},
    {"Label7", "Unit of the main reading"},
    {"SlaveDataLabel", "Secondary reading"},
    {"Label8", "Unit of the secondary reading"},
    {"Label1", "Function"},
    {"Label9", "Secondary function"},
    {"Label12", "Phase"},
    {"Label11", "Number"},
    {"Label6", "Wiring"},
    {"Label13", "Battery low"},
    {"Label4", "Memory recall"},
    {"Label10", "Memory"},
    {"Label5", "Maximum"},
    {"Picture3", "Display without data"},
    {"Label3", "No data"},
    {"Image1", "Selector dial"},
    {"Label2", "Model"},
    {"Picture2", "Commands"},
    {"Command3", "List", "Shows the list of readings"},
    {"Command2", "Graph", "Shows the graph of readings"},
    {"Command5", "Exit", "Ends the program"},
};

/// The selector dial's positions in the order of its pictures 1 … 8.
constexpr const char* kDialPositions[]
    = {"OFF", "V AC", "A AC", "kW", "kVA", "kVAR", "Power factor", "Energy"};
static_assert(std::size(kDialPositions) == MeterArtwork::kDialPictures);

void nameControls(QWidget* panel)
{
    for (const AccessibleText& text : kAccessibleTexts) {
        auto* control = panel->findChild<QWidget*>(QString::fromLatin1(text.control));
        Q_ASSERT(control != nullptr);
        control->setAccessibleName(QString::fromLatin1(text.name));
        if (text.description != nullptr)
            control->setAccessibleDescription(QString::fromLatin1(text.description));
    }
}

QString dialDescription(int picture)
{
    return QStringLiteral("Turned to ")
        + QString::fromLatin1(kDialPositions[static_cast<std::size_t>(picture - 1)]);
}

const QColor kBlack(0, 0, 0);
const QColor kLightGrey(192, 192, 192);
const QColor kDarkGreen(0, 64, 0);
const QColor kRed(255, 0, 0);

// The display's labels are drawn in the default black of the layout, never in the
// desktop theme's text colour, which may be light.
ValueLabel* makeLabel(const LabelSpec& spec, QWidget* parent)
{
    auto* l = new ValueLabel(QString::fromLatin1(spec.caption), parent);
    l->setObjectName(QString::fromLatin1(spec.name));
    l->setGeometry(twipRect(spec.left, spec.top, spec.width, spec.height));
    l->setFont(designFont(spec.family, spec.points, spec.weight));
    setTextColour(l, kBlack);
    l->setAlignment(spec.alignment);
    l->setVisible(!spec.hidden);
    return l;
}

void setCaption(ValueLabel* l, std::string_view caption)
{
    l->showValue(qText(caption));
}

} // namespace

const QString Form1::kTitle = QStringLiteral("KR-610");

Form1::Form1(Services services, QWidget* parent)
    : QWidget(parent)
    , m_services(std::move(services))
    , m_ownSaveDialog(
          m_services.saveDialog != nullptr ? nullptr : std::make_unique<QtSaveDialog>(this))
    , m_ownOutputFiles(
          m_services.outputFiles != nullptr ? nullptr : std::make_unique<QtOutputFiles>())
    , m_fileCommands(
          m_services.vars, m_ownSaveDialog ? *m_ownSaveDialog : *m_services.saveDialog,
          m_ownOutputFiles ? *m_ownOutputFiles : *m_services.outputFiles, m_services.clock,
          [this] { resynchronise(); },
          [this](std::string_view message) { m_services.showMessage(kTitle, qText(message)); })
    , m_windows(m_services.vars, *this)
    , m_capture(m_services.vars, *this, m_windows, m_services.clock)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(kTitle);
    setFixedSize(twipsToPixels(4485), twipsToPixels(10590));
    setBackgroundColour(this, Qt::white);
    if (!m_services.showMessage) {
        m_services.showMessage = [](const QString& title, const QString& message) {
            QMessageBox box(QMessageBox::NoIcon, title, message, QMessageBox::Ok);
            box.exec();
        };
    }
    if (!m_services.askQuestion) {
        m_services.askQuestion = [](const QString& title, const QString& text) {
            // Over the window the question came from (the list window's Clear list).
            QMessageBox box(QMessageBox::Question, title, text, QMessageBox::Yes | QMessageBox::No,
                QApplication::activeWindow());
            box.setDefaultButton(QMessageBox::No);
            return box.exec() == QMessageBox::Yes;
        };
    }
    buildControls();
    nameControls(this);
    m_image1->setAccessibleDescription(dialDescription(m_dialPicture));
    loadArtwork();
}

Form1::~Form1() = default;

void Form1::buildControls()
{
    auto* display
        = new ReadingPanel("Picture1", kLightGrey, twipRect(1230, 7230, 1860, 1605), this);
    m_picture1 = display;
    m_picture1->hide();
    static_assert(std::size(kDisplayLabels) == std::size_t(DisplayLabel::Count));
    for (std::size_t i = 0; i < std::size(kDisplayLabels); ++i)
        m_displayLabels[i] = makeLabel(kDisplayLabels[i], m_picture1);
    // Heard when the keyboard lands on the display: "231.3 v AC, 230 v AC".
    display->setReadingLabels({{label(DisplayLabel::MainDataLabel), label(DisplayLabel::Label7),
                                   label(DisplayLabel::Label1)},
        {label(DisplayLabel::SlaveDataLabel), label(DisplayLabel::Label8),
            label(DisplayLabel::Label9)}});

    m_picture3 = new InertPanel("Picture3", kLightGrey, twipRect(1230, 7230, 1860, 1605), this);
    auto* noData = new ValueLabel(QStringLiteral("NO DATA"), m_picture3);
    noData->setObjectName(QStringLiteral("Label3"));
    noData->setGeometry(twipRect(120, 480, 1455, 375));
    noData->setFont(designFont("Arial", 15.75, kBold));
    setTextColour(noData, kRed);
    noData->setAlignment(kCentre);

    m_image1 = new QLabel(this);
    m_image1->setObjectName(QStringLiteral("Image1"));
    m_image1->setGeometry(twipRect(1080, 4365, 2130, 1965));

    auto* label2 = new QLabel(QStringLiteral("KR-6080"), this);
    label2->setObjectName(QStringLiteral("Label2"));
    label2->setGeometry(twipRect(1320, 3360, 1815, 375));
    label2->setFont(designFont("Arial", 15.75, kBold));
    setTextColour(label2, kRed);
    label2->hide();

    auto* picture2 = new InertPanel("Picture2", kDarkGreen, twipRect(3360, 6960, 975, 1110), this);
    const struct {
        const char* name;
        int top;
        const char* caption;
    } buttons[] = {{"Command3", 0, "List"}, {"Command2", 360, "Graph"}, {"Command5", 720, "Exit"}};
    for (const auto& b : buttons) {
        auto* button = new QPushButton(QString::fromLatin1(b.caption), picture2);
        button->setObjectName(QString::fromLatin1(b.name));
        button->setGeometry(twipRect(0, b.top, 975, 375));
        button->setFont(designFont("Arial", 11.25, kNormal, FontStyle::Italic));
        // Tab reaches the commands and Space, Enter or Return gives them.
        button->setFocusPolicy(Qt::StrongFocus);
        button->setAutoDefault(true);
    }
    connect(
        findChild<QPushButton*>(QStringLiteral("Command3")), &QPushButton::clicked, this, [this] {
            m_windows.showList();
            emit listRequested();
        });
    connect(
        findChild<QPushButton*>(QStringLiteral("Command2")), &QPushButton::clicked, this, [this] {
            m_windows.showGraph();
            emit graphRequested();
        });
    connect(findChild<QPushButton*>(QStringLiteral("Command5")), &QPushButton::clicked, this,
        &QWidget::close);
}

void Form1::loadArtwork()
{
    const qreal ratio = devicePixelRatioF();
    m_skin = MeterArtwork::skin(ratio);
    for (int i = 0; i < MeterArtwork::kDialPictures; ++i)
        m_imageList1[static_cast<std::size_t>(i)] = MeterArtwork::dial(i + 1, ratio);
    m_image1->setPixmap(m_imageList1[static_cast<std::size_t>(m_dialPicture - 1)]);
    update();
}

bool Form1::load()
{
    if (runLoadHandler(m_services.vars, m_services.deviceMap, *this) != LoadOutcome::Running)
        return false;
    // From here on a line that goes away ends nothing: the bridge is looked for again,
    // silently, as the start looked for it.
    m_reconnector = std::make_unique<BridgeReconnector>(*m_link, [this] {
        return attemptBridge(m_services.deviceMap, {},
            [this](const std::string& port) { return m_link->open(QString::fromStdString(port)); });
    });
    return true;
}

void Form1::setJournal(JournalSink* journal)
{
    m_journal = journal;
    m_capture.setJournal(journal);
    m_fileCommands.onSaved([journal](SavedFormat format, std::int32_t records) {
        if (journal != nullptr)
            journal->listSaved(format, records);
    });
}

bool Form1::confirm(std::string_view question)
{
    return m_services.askQuestion(kTitle, qText(question));
}

std::int32_t Form1::unsavedReadings() const
{
    return m_fileCommands.unsavedReadings();
}

void Form1::listCleared()
{
    m_fileCommands.listCleared();
    m_windows.emptyGraph();
    if (m_journal != nullptr)
        m_journal->listCleared();
}

void Form1::resynchronise()
{
    if (m_link)
        m_link->resynchronise();
}

void Form1::onAcceptedFrame(FrameBytes bytes)
{
    m_capture.onAcceptedFrame(bytes);
}

void Form1::writeListHeaders()
{
    m_windows.listWindow().writeHeaders();
}

void Form1::Form1SaveSub()
{
    m_fileCommands.Form1SaveSub();
}

void Form1::Form1ExcelSub()
{
    m_fileCommands.Form1ExcelSub();
}

std::unique_ptr<PagePrinter> Form1::openPrinter(std::string_view documentName)
{
    if (m_services.openPrinter)
        return m_services.openPrinter(documentName);
    return QtPagePrinter::systemDefault(qText(documentName));
}

CaptureTime Form1::printTime()
{
    return m_services.clock.now();
}

void Form1::showPrintFailure(std::string_view text)
{
    m_services.showMessage(kTitle, qText(text));
}

void Form1::applyWindowStyle()
{
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    m_shaped = true;
    updateShape();
}

void Form1::updateShape()
{
    m_shapeUpdatePending = false;
    // The colour key applies to everything the window shows, controls included. An old
    // mask would clip (and shift) the rendering, so it goes first.
    clearMask();
    QImage look(size(), QImage::Format_RGB32);
    look.fill(Qt::white);
    render(&look);
    setMask(shapeMask(look));
}

void Form1::requestShapeUpdate()
{
    // One frame may turn the dial and show the display: one rendering covers both.
    if (!m_shaped || m_shapeUpdatePending)
        return;
    m_shapeUpdatePending = true;
    QMetaObject::invokeMethod(
        this, [this] { updateShape(); }, Qt::QueuedConnection);
}

void Form1::showFatalMessage(std::string_view message)
{
    m_services.showMessage(kTitle, qText(message));
}

PortOpenResult Form1::openPort(const std::string& portName)
{
    m_link = std::make_unique<SerialLink>(
        *this, [this](FrameBytes bytes) { onAcceptedFrame(bytes); }, nullptr,
        m_services.makePort ? m_services.makePort() : nullptr);
    return m_link->open(QString::fromStdString(portName));
}

void Form1::startResynchronising()
{
    m_link->portOpened();
}

void Form1::setWiringVisible(bool visible)
{
    label(DisplayLabel::Label6)->setVisible(visible);
}
void Form1::setPhaseCaption(std::string_view caption)
{
    setCaption(label(DisplayLabel::Label12), caption);
}
void Form1::setBatVisible(bool visible)
{
    label(DisplayLabel::Label13)->setVisible(visible);
}
void Form1::setMrVisible(bool visible)
{
    label(DisplayLabel::Label4)->setVisible(visible);
}
void Form1::setNumberText(std::string_view t)
{
    setCaption(label(DisplayLabel::Label11), t);
}
void Form1::setClassCaption(std::string_view caption)
{
    setCaption(label(DisplayLabel::Label1), caption);
}
void Form1::setUnitCaption(std::string_view caption)
{
    setCaption(label(DisplayLabel::Label7), caption);
}
void Form1::setSecondaryClassCaption(std::string_view caption)
{
    setCaption(label(DisplayLabel::Label9), caption);
}
void Form1::setSecondaryUnitCaption(std::string_view caption)
{
    setCaption(label(DisplayLabel::Label8), caption);
}
void Form1::setMainText(std::string_view t)
{
    setCaption(label(DisplayLabel::MainDataLabel), t);
}
void Form1::setSecondaryText(std::string_view t)
{
    setCaption(label(DisplayLabel::SlaveDataLabel), t);
}
std::string Form1::unitCaption() const
{
    return label(DisplayLabel::Label7)->text().toStdString();
}

void Form1::setDialPicture(int picture)
{
    // Every frame sets the dial; only a turn changes the picture and the window's shape.
    if (picture < 1 || picture > MeterArtwork::kDialPictures || picture == m_dialPicture)
        return;
    m_dialPicture = picture;
    m_image1->setPixmap(m_imageList1[static_cast<std::size_t>(picture - 1)]);
    m_image1->setAccessibleDescription(dialDescription(picture));
    requestShapeUpdate();
}

void Form1::setDisplayPanelVisible(bool visible)
{
    if (m_picture1->isHidden() != visible)
        return;
    m_picture1->setVisible(visible);
    requestShapeUpdate();
}
void Form1::setNoDataPanelVisible(bool visible)
{
    if (m_picture3->isHidden() != visible)
        return;
    m_picture3->setVisible(visible);
    requestShapeUpdate();
}

void Form1::paintEvent(QPaintEvent*)
{
    // A move to a screen of another density draws the pictures anew at its resolution.
    if (m_skin.devicePixelRatio() != devicePixelRatioF()) {
        loadArtwork();
        requestShapeUpdate();
    }
    QPainter painter(this);
    painter.drawPixmap(0, 0, m_skin);
}

void Form1::mousePressEvent(QMouseEvent* event)
{
    // Only presses on the meter picture or the dial get here: the boxes keep their own.
    m_drag.press(this, event);
}

void Form1::mouseMoveEvent(QMouseEvent* event)
{
    m_drag.move(this, event);
}

void Form1::mouseReleaseEvent(QMouseEvent* event)
{
    m_drag.release(event);
}

void Form1::closeEvent(QCloseEvent* event)
{
    m_windows.closeAll();
    m_reconnector.reset();
    m_link.reset();
    emit closed();
    event->accept();
}

} // namespace clampmeter
