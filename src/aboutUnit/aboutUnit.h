#pragma once
// The About window: version, home-page and support addresses over the About
// picture, and one Continue button. A fresh window is made for every opening.

#include <QDialog>

class QToolButton;
class TImage;
class TLabel;

class TAboutForm : public QDialog {
    Q_OBJECT
public:
    // Built-in home-page text, kept when the settings give an empty address.
    static constexpr const char* BuiltInHomepage = "www.velumo-soft.com";

    explicit TAboutForm(QWidget* parent = nullptr);
    ~TAboutForm() override;

    // Creates a new About window, shows it modally centred over mainWindow,
    // and destroys it when it closes. The modal result is of no interest.
    static void ShowModalOver(QWidget* mainWindow);

    // Puts the centre of the client area on the centre of the given window's.
    void CentreOver(const QWidget* window);

    // Counts the About windows made so far; each window keeps its own number,
    // so two windows opened one after the other can be told apart.
    static quint64 CreatedCount();
    quint64 Serial() const { return serial_; }

    TImage* Image1 = nullptr;
    TLabel* Label1 = nullptr;
    TLabel* lblHomepage = nullptr;
    TLabel* Label3 = nullptr;
    QToolButton* SpeedButton1 = nullptr;

public slots:
    void FormShow();
    void SpeedButton1Click();

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    quint64 serial_ = 0;
};
