// The main window's response table and its handlers. The handlers stay thin:
// the core decides, refuses what a running conversion or a playing preview
// forbids, and keeps the controls in step.
#include "ui/TMainWindow.h"

#include "app/InputCommands.h"
#include "app/RunLogFile.h"
#include "app/StartTips.h"
#include "core/AppIdentity.h"
#include "core/ControlIds.h"
#include "core/ShowMessage.h"
#include "core/TextFormat.h"
#include "ports/ShellPort.h"
#include "ui/FileChooser.h"
#include "ui/UiMessages.h"

#include <QAction>
#include <QKeySequence>
#include <QListWidget>
#include <QMenu>
#include <QShortcut>
#include <QWindow>

#include <array>

namespace discforge::ui {

std::span<const ResponseEntry<TMainWindow>> TMainWindow::ResponseTable()
{
    using Entry = ResponseEntry<TMainWindow>;
    using W = TMainWindow;

    constexpr unsigned cmd = msg::command;
    constexpr unsigned lost = notify::focusLost;

    // In the order the window has always searched it.
    static const std::array responseTable{
        Entry{msg::paint, 0, 0, &W::EvPaint},
        Entry{msg::horizontalScroll, 0, 0, &W::EvHorizontalScroll},
        Entry{msg::eraseBackground, 0, 0, &W::EvEraseBackground},
        Entry{msg::timer, 0, 0, &W::EvTimer},
        Entry{msg::leftButtonDown, 0, 0, &W::EvLeftButtonDown},
        Entry{cmd, 0, control::startConversion, &W::CmStartConversion},
        Entry{cmd, 0, control::openInput, &W::CmOpenMediaFile},
        Entry{cmd, 0, command::removeInput, &W::CmRemoveInput},
        Entry{cmd, 0, command::moveInputUp, &W::CmMoveInputUp},
        Entry{cmd, 0, command::moveInputDown, &W::CmMoveInputDown},
        Entry{cmd, 0, control::about, &W::CmAbout},
        Entry{cmd, 0, control::exitButton, &W::CmExit},
        Entry{cmd, 0, command::openProject, &W::CmOpenProject},
        Entry{cmd, 0, command::saveProject, &W::CmSaveProject},
        Entry{cmd, 0, control::help, &W::CmHelp},
        Entry{cmd, 0, control::checkLog, &W::CmCheckLog},
        Entry{cmd, 0, control::chooseOutput, &W::CmChooseOutputFile},
        Entry{cmd, 0, command::renderInputPreview, &W::CmRenderInputPreview},
        Entry{cmd, 0, command::renderOutputPreview, &W::CmRenderOutputPreview},
        Entry{cmd, 0, 1164, &W::CmNothing},
        Entry{cmd, 0, 1165, &W::CmNothing},
        Entry{cmd, 0, control::invertCheck, &W::CmInvert},
        Entry{cmd, 0, control::splitCheck, &W::CmSplit},
        Entry{cmd, 0, control::shutdownCheck, &W::CmShutdown},
        Entry{cmd, 0, 1176, &W::CmNothing},
        Entry{cmd, 0, control::proportionalRadio, &W::CmProportional},
        Entry{cmd, 0, control::fillRadio, &W::CmFillIn},
        Entry{cmd, 0, command::enterKey, &W::CmEnterKey},
        Entry{cmd, 0, command::letterT, &W::CmNothing},
        Entry{cmd, 0, command::letterN, &W::CmNothing},
        Entry{cmd, 0, control::inputPlay, &W::CmPlayInput},
        Entry{cmd, 0, command::stopPlayback, &W::CmStopPlayback},
        Entry{cmd, 0, command::stopStream, &W::CmStopStream},
        Entry{cmd, 0, control::outputPlay, &W::CmPlayOutput},
        Entry{cmd, 0, command::stopPlaybackAlias, &W::CmStopPlayback},
        Entry{cmd, 0, command::stopStreamAlias, &W::CmStopStream},
        Entry{cmd, 0, 1188, &W::CmNothing},
        Entry{cmd, 0, control::homePage, &W::CmHomePage},
        Entry{cmd, 0, control::vcdRadio, &W::CmFormatVcd},
        Entry{cmd, 0, control::dvdRadio, &W::CmFormatDvd},
        Entry{cmd, 0, control::svcdRadio, &W::CmFormatSvcd},
        Entry{cmd, 0, control::ntscRadio, &W::CmStandardNtsc},
        Entry{cmd, 0, control::palRadio, &W::CmStandardPal},
        Entry{cmd, 0, 1195, &W::CmNothing},
        Entry{cmd, notify::selectionChange, control::inputList, &W::CmSelectInput},
        Entry{cmd, lost, 1130, &W::CmNothing},
        Entry{cmd, lost, 1127, &W::CmNothing},
        Entry{cmd, lost, 1126, &W::CmNothing},
        Entry{cmd, lost, 1141, &W::CmNothing},
        Entry{cmd, lost, 1151, &W::CmNothing},
        Entry{cmd, lost, 1173, &W::CmNothing},
        Entry{cmd, lost, 1170, &W::CmNothing},
        Entry{cmd, lost, 1180, &W::CmNothing},
        Entry{cmd, lost, 1177, &W::CmNothing},
        Entry{cmd, lost, control::widthEdit, &W::CmWidthFieldLeft},
        Entry{cmd, lost, control::heightEdit, &W::CmHeightFieldLeft},
        Entry{cmd, lost, control::maxSizeEdit, &W::CmMaxSizeFieldLeft},
        Entry{cmd, lost, control::outputName, &W::CmOutputNameFieldLeft},
        // Beyond the original table: adding an input without replacing one.
        Entry{cmd, 0, command::addInput, &W::CmAddInput},
        // The disc of the converted streams.
        Entry{cmd, 0, command::authorDisc, &W::CmAuthorDisc},
        Entry{cmd, 0, command::decoderSettings, &W::CmDecoderSettings},
        Entry{cmd, 0, control::discCheck, &W::CmDiscCheck},
        Entry{cmd, 0, control::chooseDiscFolder, &W::CmChooseDiscFolder},
        // The shape of the frames.
        Entry{cmd, 0, control::shapeAutoRadio, &W::CmShapeAuto},
        Entry{cmd, 0, control::shapeFourByThreeRadio, &W::CmShapeFourByThree},
        Entry{cmd, 0, control::shapeSixteenByNineRadio, &W::CmShapeSixteenByNine},
        // The disc the batch is planned for.
        Entry{cmd, 0, control::discSizeChoice, &W::CmDiscSizeChoice},
        Entry{cmd, lost, control::discSizeEdit, &W::CmDiscSizeFieldLeft},
    };

    return responseTable;
}

void TMainWindow::MakeShortcuts()
{
    struct Key {
        QKeySequence keys;
        int id;
    };
    // Letters reach an edit field that has the focus: the field takes them
    // before any shortcut does.
    const Key keys[] = {
        {QKeySequence(Qt::Key_Return), command::enterKey},
        {QKeySequence(Qt::Key_Enter), command::enterKey},
        {QKeySequence(Qt::Key_N), command::letterN},
        {QKeySequence(Qt::SHIFT | Qt::Key_N), command::letterN},
        {QKeySequence(Qt::Key_T), command::letterT},
        {QKeySequence(Qt::SHIFT | Qt::Key_T), command::letterT},
        {QKeySequence(Qt::Key_Delete), command::removeInput},
        {QKeySequence(Qt::CTRL | Qt::Key_Up), command::moveInputUp},
        {QKeySequence(Qt::CTRL | Qt::Key_Down), command::moveInputDown},
        {QKeySequence(Qt::Key_Insert), command::addInput},
        {QKeySequence(Qt::CTRL | Qt::Key_O), command::openProject},
        {QKeySequence(Qt::CTRL | Qt::Key_S), command::saveProject},
    };
    for (const Key& key : keys) {
        auto* shortcut = new QShortcut(key.keys, this);
        const int id = key.id;
        connect(shortcut, &QShortcut::activated, this, [this, id] { Dispatch(msg::command, notify::clicked, id); });
    }
}

void TMainWindow::ShowInputMenu(const QPoint& at)
{
    QMenu menu(this);
    const auto add = [&](const QString& text, const QKeySequence& keys, int id, bool enabled) {
        QAction* action = menu.addAction(text);
        action->setShortcut(keys);
        action->setEnabled(enabled);
        connect(action, &QAction::triggered, this, [this, id] { PostCommand(id); });
    };
    const bool idle = !core_->IsConverting() && !core_->Preview().previewPlaying();
    const bool selected = core_->Inputs().selectedInput >= 0;
    const int count = core_->Inputs().inputCount;
    const int index = core_->Inputs().selectedInput;
    add(tr("Add input..."), QKeySequence(Qt::Key_Insert), command::addInput, idle);
    add(tr("Replace with..."), QKeySequence(), control::openInput, idle);
    add(tr("Remove"), QKeySequence(Qt::Key_Delete), command::removeInput, idle && selected);
    add(tr("Move up"), QKeySequence(Qt::CTRL | Qt::Key_Up), command::moveInputUp, idle && index > 0);
    add(tr("Move down"), QKeySequence(Qt::CTRL | Qt::Key_Down), command::moveInputDown,
        idle && selected && index < count - 1);
    if (selected) {
        AddSoundTrackMenu(menu, index, idle);
        AddDiscTrackChoices(menu, index, idle);
        add(tr("Decoder settings..."), QKeySequence(), command::decoderSettings,
            idle && core_->Inputs().inputTable[static_cast<std::size_t>(index)].isVideoFile);
    }
    QAction* ask = menu.addAction(tr("Ask for decoder settings of each file opened"));
    ask->setCheckable(true);
    ask->setChecked(core_->Settings().editFilters);
    connect(ask, &QAction::toggled, this, [this](bool on) { core_->SetEditFilters(on); });
    menu.addSeparator();
    add(tr("Open project..."), QKeySequence(Qt::CTRL | Qt::Key_O), command::openProject, idle);
    // Saving only reads the inputs, so it is offered during a run too.
    add(tr("Save project..."), QKeySequence(Qt::CTRL | Qt::Key_S), command::saveProject, true);
    menu.addSeparator();
    add(tr("Author disc…"), QKeySequence(), command::authorDisc, core_->CanAuthorDisc());
    AddDiscMenuChoices(menu, index, idle);
    menu.exec(at);
}

// "Sound: 2 of 3 (deu, 5.1)", with a line per track to choose another.
void TMainWindow::AddSoundTrackMenu(QMenu& menu, int index, bool idle)
{
    const InputEntry& entry = core_->Inputs().inputTable[static_cast<std::size_t>(index)];
    QMenu* sound = menu.addMenu(QString::fromStdString(SoundTrackCaption(entry)));
    sound->setEnabled(idle && entry.soundTracks.size() > 1);
    for (const SoundTrack& track : entry.soundTracks) {
        QAction* action = sound->addAction(QString::fromStdString(FormatText(
            message::soundTrackItem, track.number, track.language.c_str(), track.layout.c_str(), track.coder.c_str())));
        action->setCheckable(true);
        action->setChecked(track.number == entry.playedTrack);
        const int number = track.number;
        connect(action, &QAction::triggered, this, [this, index, number] {
            core_->ChooseSoundTrack(index, number);
            update();
        });
    }
}

void TMainWindow::EvTimer(const MessageArgs& args)
{
    switch (args.value) {
    case timer::repaintPreviews:
        update(inputPreviewRect_);
        update(outputPreviewRect_);
        break;
    case timer::endTopmost:
        SetFrameTopmost(false);
        break;
    case timer::startTips:
        StartTips(paths_, services_.shell);
        break;
    default:
        break;
    }
}

void TMainWindow::CmStartConversion(const MessageArgs&)
{
    // A name or size still being typed counts, as if the field had been left.
    CommitFocusedField();
    if (!core_->ConfirmReplacingOutputs()) {
        return;
    }
    core_->StartConversion();
    update();
    core_->ReportFinishedBatch();
}

void TMainWindow::CmOpenMediaFile(const MessageArgs&)
{
    if (core_->IsConverting() || core_->Preview().previewPlaying()) {
        return;
    }
    const std::optional<std::string> path = services_.files.ChooseMediaFile();
    if (path) {
        core_->OpenMediaFile(*path);
    } else {
        core_->RefreshWindow();
    }
    update();
}

void TMainWindow::CmAddInput(const MessageArgs&)
{
    if (core_->IsConverting() || core_->Preview().previewPlaying()) {
        return;
    }
    if (const std::optional<std::string> path = services_.files.ChooseMediaFile()) {
        core_->AddInput(*path);
    }
    update();
}

void TMainWindow::CmDecoderSettings(const MessageArgs&)
{
    core_->EditDecoderSettings();
    update();
}

void TMainWindow::CmRemoveInput(const MessageArgs&)
{
    core_->RemoveSelectedInput();
    update();
}

void TMainWindow::CmMoveInputUp(const MessageArgs&) { core_->MoveSelectedInputUp(); }

void TMainWindow::CmMoveInputDown(const MessageArgs&) { core_->MoveSelectedInputDown(); }

void TMainWindow::CmAbout(const MessageArgs&)
{
    ShowMessage(services_.messages, FormatText(message::aboutText, appTitle, appVersion, homePageAddress),
        message::aboutCaption);
}

void TMainWindow::CmExit(const MessageArgs&)
{
    if (core_->ExitCommand()) {
        PostCloseRequest();
    }
}

void TMainWindow::CmHelp(const MessageArgs&)
{
    OpenOrSayWhere(services_.shell, services_.messages, paths_.helpFilePath, "the user guide");
}

void TMainWindow::CmCheckLog(const MessageArgs&) { core_->CheckLog(); }

void TMainWindow::CmChooseOutputFile(const MessageArgs&)
{
    if (core_->IsConverting() || core_->Preview().previewPlaying()) {
        return;
    }
    if (const std::optional<std::string> path = services_.files.ChooseOutputFile()) {
        core_->ChooseOutputFile(*path);
    }
}

void TMainWindow::CmSaveProject(const MessageArgs&)
{
    // A name or size still being typed is saved too.
    CommitFocusedField();
    if (const std::optional<std::string> path = services_.files.ChooseProjectToSave()) {
        core_->SaveProject(*path);
    }
}

void TMainWindow::CmOpenProject(const MessageArgs&)
{
    if (core_->IsConverting() || core_->Preview().previewPlaying()) {
        return;
    }
    if (const std::optional<std::string> path = services_.files.ChooseProjectToOpen()) {
        core_->OpenProject(*path);
    }
    update();
}

void TMainWindow::CmHomePage(const MessageArgs&)
{
    OpenOrSayWhere(services_.shell, services_.messages, homePageAddress, "the home page");
}

void TMainWindow::CmInvert(const MessageArgs&) { core_->InvertClicked(); }

void TMainWindow::CmSplit(const MessageArgs&) { core_->SplitClicked(); }

void TMainWindow::CmShutdown(const MessageArgs&) { core_->ShutdownClicked(); }

void TMainWindow::CmProportional(const MessageArgs&) { core_->FittingClicked(control::proportionalRadio); }

void TMainWindow::CmFillIn(const MessageArgs&) { core_->FittingClicked(control::fillRadio); }

void TMainWindow::CmEnterKey(const MessageArgs&)
{
    if (core_->EnterKey()) {
        PostCommand(control::startConversion);
    }
}

void TMainWindow::CmStopPlayback(const MessageArgs&) { core_->RequestPlaybackStop(); }

void TMainWindow::CmStopStream(const MessageArgs&) { core_->RequestStreamStop(); }

void TMainWindow::CmFormatVcd(const MessageArgs&) { core_->FormatRadioClicked(formatVcd); }

void TMainWindow::CmShapeAuto(const MessageArgs&) { core_->ChooseShape(ShapeChoice::automatic); }

void TMainWindow::CmShapeFourByThree(const MessageArgs&) { core_->ChooseShape(ShapeChoice::fourByThree); }

void TMainWindow::CmShapeSixteenByNine(const MessageArgs&) { core_->ChooseShape(ShapeChoice::sixteenByNine); }

void TMainWindow::CmFormatDvd(const MessageArgs&) { core_->FormatRadioClicked(formatDvd); }

void TMainWindow::CmFormatSvcd(const MessageArgs&) { core_->FormatRadioClicked(formatSvcd); }

void TMainWindow::CmStandardNtsc(const MessageArgs&) { core_->StandardRadioClicked(standardNtsc); }

void TMainWindow::CmStandardPal(const MessageArgs&) { core_->StandardRadioClicked(standardPal); }

void TMainWindow::CmSelectInput(const MessageArgs&) { core_->SelectInput(inputList_->currentRow()); }

void TMainWindow::CmWidthFieldLeft(const MessageArgs&) { core_->WidthFieldLeft(); }

void TMainWindow::CmHeightFieldLeft(const MessageArgs&) { core_->HeightFieldLeft(); }

void TMainWindow::CmMaxSizeFieldLeft(const MessageArgs&) { core_->MaxSizeFieldLeft(); }

void TMainWindow::CmOutputNameFieldLeft(const MessageArgs&) { core_->OutputNameFieldLeft(); }

void TMainWindow::CmNothing(const MessageArgs&) { }

} // namespace discforge::ui
