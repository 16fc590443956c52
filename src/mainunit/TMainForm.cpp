#include "TMainForm.h"

#include "CommandLine.h"
#include "ErrorGuard.h"
#include "GuiServices.h"
#include "MainAccess.h"
#include "MediaDevice.h"
#include "MediaLoader.h"
#include "PhoneCommand.h"
#include "SaveRingtone.h"
#include "SkinFont.h"
#include "SkinPictures.h"
#include "StartupStamp.h"
#include "TCanvas.h"
#include "TImage.h"
#include "Translations.h"
#include "WaveRender.h"
#include "appDefine.h"

#include <QApplication>
#include <QCloseEvent>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>
#include <QWindow>

#include <cstdlib>
#include <thread>

namespace {
// Draws the hidden timeline area and its scroll bar into scratch pictures at
// the screen's density, so their style caches are filled before they are
// first shown.
void RehearseTimelineArea(QScrollArea& box)
{
    const qreal ratio = box.devicePixelRatioF();
    for (QWidget* part : std::initializer_list<QWidget*>{&box, box.horizontalScrollBar()}) {
        QImage scratch(part->size() * ratio, QImage::Format_ARGB32_Premultiplied);
        scratch.setDevicePixelRatio(ratio);
        part->render(&scratch);
    }
}

// The FILE argument's bytes as the path OpenPath takes.
// The file named on the command line, its bytes kept: names that are not
// UTF-8 still open the file meant.
QString CommandLinePath(const QByteArray& file)
{
    return FileNameFromBytes(file);
}
} // namespace

TMainForm::TMainForm(QWidget* parent)
    : QWidget(parent)
{
    BuildLayout();
    BindEvents();
    // Keys go to the window itself (the scroll box would take the arrows),
    // and files may be dropped anywhere on it.
    setFocusPolicy(Qt::StrongFocus);
    ScrollBoxWave->setFocusPolicy(Qt::NoFocus);
    setAcceptDrops(true);
    InstallAccessibility(*this);
    FormCreate();
}

TMainForm::~TMainForm()
{
    // The children outlive this part of the object; no more calls into it.
    imgWave->removeEventFilter(this);
    ScrollBoxWave->viewport()->removeEventFilter(this);
    StopEnvelope();
    phoneJob_.reset();
}

void TMainForm::FormCreate()
{
    WaveCanvas = std::make_unique<TCanvas>(imgWave->Picture());
    WaveCanvas->OnChange = [image = imgWave] { image->update(); };
    WaveRender = std::make_unique<TWaveRender>(*WaveCanvas, imgWave->width(), imgWave->height());
    // The ruler's glyphs and the hidden timeline area, drawn while the window
    // waits for the user: the first Open then draws its timeline about as
    // fast as later ones.
    AfterFirstPaint(this, [this] {
        if (Closing())
            return;
        WaveCanvas->PrepareGlyphs(QStringLiteral("0123456789(S)"));
        if (!ScrollBoxWave->isVisible())
            RehearseTimelineArea(*ScrollBoxWave);
    });
    ReadSettings();
    WaveKind = ReadWaveKind();
    Choices = ReadRingtoneChoices();
    SnapToBeat = ReadSnapToBeat();
    Converting = false;
    PrepareWorkPlace();
}

void TMainForm::FormShow()
{
    ReadSettings();
}

void TMainForm::FormClose()
{
    // The envelope's timer reaches for the renderer: both end first.
    StopEnvelope();
    WaveRender.reset();
}

void TMainForm::ReadSettings()
{
    ApplicationInfo.HomepageUrl = ReadProfileString(
        QCoreApplication::applicationDirPath() + QStringLiteral("/config.ini"),
        QStringLiteral("ApplicationInfo"), QStringLiteral("Homepage"), QString::fromUtf8(DefaultHomepageUrl));
}

void TMainForm::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    Guarded([this] { FormShow(); });
}

void TMainForm::closeEvent(QCloseEvent* event)
{
    RequestQuit();
    Guarded([this] { FormClose(); });
    // The renderer is gone: nothing may reach for it while the loop winds down.
    Timer2->stop();
    ApplicationEvents1->Stop();
    event->accept();
}

int RunApplication(int argc, char** argv)
{
    // Answered before any window, display or work folder is touched.
    const TCommandLine commandLine = ParseCommandLine(argc, argv);
    if (commandLine.Action != TCommandLine::TAction::Run) {
        // Asked again in the user's language; a core application needs no display.
        // Named "velumo" alone: the help names the program so, wherever it lies.
        int coreArgc = 1;
        char coreName[] = "velumo";
        char* coreArgv[] = {coreName, nullptr};
        int result = 0;
        {
            QCoreApplication core(coreArgc, coreArgv);
            InstallTranslations();
            result = AnswerCommandLine(ParseCommandLine(argc, argv));
        }
        // Qt's D-Bus thread outlives the application object and may still be
        // dispatching while the exit handlers tear Qt's type registry down,
        // which prints warnings after the one line: the answer is written and
        // flushed, so the process ends here.
        if (commandLine.Action == TCommandLine::TAction::Send)
            std::_Exit(result);
        return result;
    }
    // The window follows the display's scale exactly (1, 1.25, 1.5, 2), not
    // rounded: the skin has pictures at twice the size, and pictures without
    // one (the timeline) are scaled without blending pixels.
    QGuiApplication::setHighDpiScaleFactorRoundingPolicy(Qt::HighDpiScaleFactorRoundingPolicy::PassThrough);
    // The font configuration loads on a second core while the application
    // connects to the display; the window's text waits for it below.
    std::jthread fonts([] {
        try {
            PrepareSkinFonts();
        } catch (const std::exception&) {
            // The bundled fonts are used.
        }
    });
    QApplication app(argc, argv);
    InstallTranslations();
    // The skin's pictures decode on a second core while the window loads its
    // fonts; the window takes each from the cache, or waits for it there.
    std::jthread preload([] {
        try {
            Skin::PreloadMainWindow();
        } catch (const std::exception&) {
            // The window decodes what is missing, and reports it.
        }
    });
    QApplication::setApplicationName(QString::fromUtf8(ApplicationTitle));
    // Lets desktops match the window to the installed velumo.desktop entry.
    QGuiApplication::setDesktopFileName(QStringLiteral("velumo"));
    // A song to open: the media libraries load while the window is built.
    if (!commandLine.File.isEmpty())
        MediaLoader().Start();
    int result = 0;
    fonts.join();
    {
        TMainForm form;
        InstallGuiServices(&form);
        form.show();
        StampStartup(&form, form.windowHandle());
        // For screenshots of the About window over the main window.
        if (qEnvironmentVariableIntValue("VELUMO_SHOW_ABOUT") == 1)
            QTimer::singleShot(0, &form, [&form] { Guarded([&] { form.lblAboutClick(); }); });
        // "velumo song.mp3" opens the song as if chosen in the Open dialog.
        if (!commandLine.File.isEmpty())
            QTimer::singleShot(0, &form,
                [&form, path = CommandLinePath(commandLine.File)] { Guarded([&] { form.OpenPath(path); }); });
        result = QApplication::exec();
    }
    RemoveGuiServices();
    return result;
}
