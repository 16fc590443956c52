#include "aboutUnit.h"

#include "SkinFont.h"
#include "SkinPictures.h"
#include "TImage.h"
#include "TLabel.h"
#include "appDefine.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QPointer>
#include <QToolButton>

#include <atomic>

namespace {

std::atomic<quint64> aboutWindowsMade{0};

} // namespace

TAboutForm::TAboutForm(QWidget* parent)
    : QDialog(parent,
        Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
            | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint)
    , serial_(++aboutWindowsMade)
{
    setObjectName(QStringLiteral("AboutForm"));
    setWindowTitle(QCoreApplication::translate("AboutForm", "About"));
    setFont(SkinFont(11));
    // The picture decides the client size; dragging the frame must not change it.
    setFixedSize(300, 266);
    setSizeGripEnabled(false);

    Image1 = new TImage(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->SetAutoSize(true);
    Image1->move(0, 0);
    Image1->resize(300, 266);
    Image1->SetPicture(Skin::Load(QString::fromLatin1(Skin::About)));

    Label1 = new TLabel(QCoreApplication::translate("AboutForm", "( Version 1.20 )"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->SetFont(SkinFont(13, QFont::Bold));
    Label1->SetTextColor(QColor(128, 0, 128));
    Label1->move(97, 68);

    lblHomepage = new TLabel(QString::fromLatin1(BuiltInHomepage), this);
    lblHomepage->setObjectName(QStringLiteral("lblHomepage"));
    lblHomepage->move(47, 165);

    Label3 = new TLabel(QString::fromLatin1(SupportAddress), this);
    Label3->setObjectName(QStringLiteral("Label3"));
    Label3->move(49, 188);

    SpeedButton1 = new QToolButton(this);
    SpeedButton1->setObjectName(QStringLiteral("SpeedButton1"));
    // "&Continue" makes Alt+C its shortcut; plain C is handled in keyPressEvent.
    SpeedButton1->setText(QCoreApplication::translate("AboutForm", "&Continue"));
    SpeedButton1->setAutoRaise(true); // frame drawn only under the pointer
    SpeedButton1->setFocusPolicy(Qt::NoFocus);
    SpeedButton1->setToolButtonStyle(Qt::ToolButtonTextOnly);
    SpeedButton1->setFont(SkinFont(11));
    QPalette palette = SpeedButton1->palette();
    palette.setColor(QPalette::ButtonText, QColor(128, 0, 0));
    SpeedButton1->setPalette(palette);
    SpeedButton1->setGeometry(189, 230, 67, 20);
    connect(SpeedButton1, &QToolButton::clicked, this, &TAboutForm::SpeedButton1Click);
}

TAboutForm::~TAboutForm() = default;

quint64 TAboutForm::CreatedCount()
{
    return aboutWindowsMade.load();
}

void TAboutForm::FormShow()
{
    if (!ApplicationInfo.HomepageUrl.isEmpty())
        lblHomepage->SetCaption(ApplicationInfo.HomepageUrl);
}

void TAboutForm::SpeedButton1Click()
{
    reject();
}

void TAboutForm::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    FormShow();
}

void TAboutForm::keyPressEvent(QKeyEvent* event)
{
    const Qt::KeyboardModifiers mods
        = event->modifiers() & ~(Qt::ShiftModifier | Qt::AltModifier | Qt::KeypadModifier);
    if (event->key() == Qt::Key_C && mods == Qt::NoModifier) {
        SpeedButton1->click();
        return;
    }
    // Neither Enter nor Escape closes this window: there is no default button
    // and Continue takes no focus.
    switch (event->key()) {
    case Qt::Key_Escape:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        event->accept();
        return;
    default:
        QWidget::keyPressEvent(event);
    }
}

void TAboutForm::CentreOver(const QWidget* window)
{
    if (!window)
        return;
    // Client area over client area: setGeometry places the client area, so
    // the frame, whatever its size, does not shift the result.
    QRect mine(QPoint(0, 0), size());
    mine.moveCenter(window->geometry().center());
    setGeometry(mine);
}

void TAboutForm::ShowModalOver(QWidget* mainWindow)
{
    // Parented to the main window only so it stays on top of it and is
    // centred there; it is deleted as soon as its modal loop ends.
    // A QPointer, because closing the main window during the modal loop
    // deletes the About window with it.
    QPointer<TAboutForm> form = new TAboutForm(mainWindow);
    form->CentreOver(mainWindow);
    form->exec();
    delete form.data();
}
