#include "TMainForm.h"

#include "ErrorGuard.h"
#include "GuiServices.h"
#include "TCanvas.h"
#include "TImage.h"
#include "WaveRender.h"
#include "appDefine.h"

#include <QApplication>
#include <QCloseEvent>
#include <QScrollArea>

namespace {
struct TToolFile {
    const char* resourceName;
    const char* fileName;
    TFileMode mode;
};
// What the export runs, written into the work folder at every start.
constexpr TToolFile ToolFiles[] = {
    {"av", "av", TFileMode::Executable},
};
} // namespace

TMainForm::TMainForm(QWidget* parent) : QWidget(parent)
{
    BuildLayout();
    FormCreate();
}

TMainForm::~TMainForm() = default;

void TMainForm::BuildLayout()
{
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(QString::fromUtf8(ApplicationTitle));
    setFixedSize(598, 422);

    ScrollBoxWave = new QScrollArea(this);
    ScrollBoxWave->setObjectName(QStringLiteral("ScrollBoxWave"));
    ScrollBoxWave->setGeometry(12, 36, 363, 171);
    ScrollBoxWave->setFrameShape(QFrame::Box);
    ScrollBoxWave->setLineWidth(1);
    ScrollBoxWave->setWidgetResizable(false);

    imgWave = new TImage;
    imgWave->setObjectName(QStringLiteral("imgWave"));
    imgWave->SetPicture(QImage(276, 152, QImage::Format_RGB32));
    imgWave->Picture().fill(Qt::black);
    imgWave->resize(276, 152);
    ScrollBoxWave->setWidget(imgWave);
    imgWave->move(13, 7);
    ScrollBoxWave->hide();
}

void TMainForm::FormCreate()
{
    WaveCanvas = std::make_unique<TCanvas>(imgWave->Picture());
    WaveCanvas->OnChange = [image = imgWave] { image->update(); };
    WaveRender = std::make_unique<TWaveRender>(*WaveCanvas, imgWave->width(), imgWave->height());
    ReadSettings();
    Converting = false;
    WorkDir = GetTempDirectory() + QString::fromUtf8(WorkFolderName);
    WorkDirProblem = PrepareWorkFolder(WorkDir);
    // An unsafe folder gets nothing: the export reports WorkDirProblem instead.
    if (WorkDirProblem.isEmpty())
        DeployTools();
}

void TMainForm::FormShow()
{
    ReadSettings();
}

void TMainForm::FormClose()
{
    WaveRender.reset();
}

void TMainForm::ReadSettings()
{
    ApplicationInfo.HomepageUrl =
        ReadProfileString(QCoreApplication::applicationDirPath() + QStringLiteral("/config.ini"),
                          QStringLiteral("ApplicationInfo"), QStringLiteral("Homepage"),
                          QString::fromUtf8(DefaultHomepageUrl));
}

void TMainForm::DeployTools()
{
    for (const TToolFile& tool : ToolFiles)
        ExtractResourceToFile(QStringLiteral("exefile"), QString::fromUtf8(tool.resourceName),
                              WorkDir + QString::fromUtf8(tool.fileName), tool.mode);
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
    event->accept();
}

int RunApplication(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromUtf8(ApplicationTitle));
    int result = 0;
    {
        TMainForm form;
        InstallGuiServices(&form);
        form.show();
        result = QApplication::exec();
    }
    RemoveGuiServices();
    return result;
}
