// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "link/bridge_lookup.h"
#include "link/capture_clock.h"
#include "link/link_panels.h"
#include "link/live_views.h"
#include "link/load_sequence.h"
#include "link/panel_view.h"
#include "link/reading_capture.h"
#include "list/list_command_host.h"
#include "list/list_file_commands.h"
#include "platform/meter_port.h"
#include "shared/var_module.h"
#include "shared/widget_helpers.h"

#include "app/program_windows.h"

#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QWidget>

#include <array>
#include <functional>
#include <memory>

namespace clampmeter {

class BridgeReconnector;
class SerialLink;
class ValueLabel;

/// The main panel: a picture of the meter, cut along its outline, kept on top, dragged
/// with the mouse, showing each reading. Creating it and calling load() starts the
/// program's work; closing it ends the program.
class Form1 final : public QWidget,
                    public PanelView,
                    public LinkPanels,
                    public ListCommandHost,
                    private LoadHost {
    Q_OBJECT

public:
    /// The program's title, the caption of every message box it shows.
    static const QString kTitle;

    using MessagePresenter = std::function<void(const QString& title, const QString& text)>;
    /// Asks a yes-or-no question; true for yes.
    using QuestionPresenter = std::function<bool(const QString& title, const QString& text)>;

    struct Services {
        VarModule& vars;
        SerialDeviceMap& deviceMap;
        CaptureClock& clock;
        /// Shows a fatal message and returns once it is dismissed; a modal box by default.
        MessagePresenter showMessage;
        /// The save dialog of the list window's file commands; Qt's file dialog when null.
        SaveDialog* saveDialog = nullptr;
        /// Where the file commands write; files on disk, saved safely, when null.
        OutputFiles* outputFiles = nullptr;
        /// The printer of the Print buttons; the system's default printer when empty.
        std::function<std::unique_ptr<PagePrinter>(std::string_view documentName)> openPrinter {};
        /// Asks before readings are discarded; a modal box with Yes and No by default.
        QuestionPresenter askQuestion {};
        /// The port the meter is read through; the system's serial port when empty.
        MeterPortMaker makePort {};
    };

    explicit Form1(Services services, QWidget* parent = nullptr);
    ~Form1() override;

    /// The load handler. False when the program must end now, without any window shown.
    bool load();

    /// The resynchronisation entry, for commands that kept the program busy.
    void resynchronise() override;

    /// "Save" of the list window: the text report.
    void Form1SaveSub() override;
    /// "To Excel" of the list window: the semicolon-separated export.
    void Form1ExcelSub() override;

    bool confirm(std::string_view question) override;
    std::int32_t unsavedReadings() const override;
    void listCleared() override;

    // PrintHost
    std::unique_ptr<PagePrinter> openPrinter(std::string_view documentName) override;
    CaptureTime printTime() override;
    void showPrintFailure(std::string_view text) override;

    /// The session journal every reading, "Clear list" and complete save is told to; null
    /// for none.
    void setJournal(JournalSink* journal);
    /// Where readings and files get their date and time.
    CaptureClock& clock() { return m_services.clock; }

    /// The list window and the graph window that this panel owns.
    ProgramWindows& windows() { return m_windows; }

    /// What the link does with every accepted frame: decode, show, capture.
    void onAcceptedFrame(FrameBytes bytes);

    /// The dial picture Image1 shows, 1 … 8.
    int dialPicture() const { return m_dialPicture; }

    // PanelView
    void setWiringVisible(bool visible) override;
    void setPhaseCaption(std::string_view caption) override;
    void setBatVisible(bool visible) override;
    void setMrVisible(bool visible) override;
    void setNumberText(std::string_view text) override;
    void setClassCaption(std::string_view caption) override;
    void setUnitCaption(std::string_view caption) override;
    void setSecondaryClassCaption(std::string_view caption) override;
    void setSecondaryUnitCaption(std::string_view caption) override;
    void setDialPicture(int picture) override;
    void setMainText(std::string_view text) override;
    void setSecondaryText(std::string_view text) override;
    std::string unitCaption() const override;

    // LinkPanels
    void setDisplayPanelVisible(bool visible) override;
    void setNoDataPanelVisible(bool visible) override;

signals:
    void listRequested();
    void graphRequested();
    void closed();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // LoadHost
    void writeListHeaders() override;
    void applyWindowStyle() override;
    void showFatalMessage(std::string_view message) override;
    PortOpenResult openPort(const std::string& portName) override;
    void startResynchronising() override;

    void buildControls();
    void loadArtwork();
    void updateShape();
    /// Recomputes the shape once the current handler is done, after what it drew changed.
    void requestShapeUpdate();

    /// The display panel's labels, in the order of the layout table.
    enum class DisplayLabel {
        MainDataLabel,
        SlaveDataLabel,
        Label1,
        Label4,
        Label6,
        Label5,
        Label7,
        Label9,
        Label8,
        Label10,
        Label11,
        Label12,
        Label13,
        Count
    };
    ValueLabel* label(DisplayLabel which) const
    {
        return m_displayLabels[static_cast<std::size_t>(which)];
    }

    Services m_services;
    std::unique_ptr<SaveDialog> m_ownSaveDialog;
    std::unique_ptr<OutputFiles> m_ownOutputFiles;
    ListFileCommands m_fileCommands;
    ProgramWindows m_windows;
    ReadingCapture m_capture;
    std::unique_ptr<SerialLink> m_link;
    /// Looks for the bridge again after the cable was pulled; there once the start succeeded.
    std::unique_ptr<BridgeReconnector> m_reconnector;
    JournalSink* m_journal = nullptr;

    // Looked up once: every reading sets most of them.
    std::array<ValueLabel*, static_cast<std::size_t>(DisplayLabel::Count)> m_displayLabels {};
    QPixmap m_skin;
    std::array<QPixmap, 8> m_imageList1;
    QWidget* m_picture1 = nullptr;
    QWidget* m_picture3 = nullptr;
    QLabel* m_image1 = nullptr;
    int m_dialPicture = 1;
    bool m_shaped = false; ///< the window style is applied: the shape follows the picture
    bool m_shapeUpdatePending = false;

    WindowDrag m_drag;
};

} // namespace clampmeter
