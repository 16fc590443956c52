#pragma once
// The main window: start-up and shut-down handlers, and the controls the
// other units draw into.

#include <QWidget>

#include <memory>

class QScrollArea;
class TImage;
class TCanvas;
class TWaveRender;

class TMainForm : public QWidget {
    Q_OBJECT
public:
    explicit TMainForm(QWidget* parent = nullptr);
    ~TMainForm() override;

    // Controls, named as in the layout.
    QScrollArea* ScrollBoxWave = nullptr;
    TImage* imgWave = nullptr;

    std::unique_ptr<TCanvas> WaveCanvas;
    std::unique_ptr<TWaveRender> WaveRender;

    void FormCreate();
    void FormShow();
    void FormClose();
    void ReadSettings();
    void DeployTools();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildLayout();
};

// Program entry: application object, title, main window, message loop.
int RunApplication(int argc, char** argv);
