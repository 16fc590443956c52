// Shows the About window over a stand-in main window so it can be looked at
// (scripts/screenshot.sh takes its picture under a virtual display).
#include "aboutUnit.h"

#include "SkinPictures.h"
#include "TImage.h"

#include <QApplication>
#include <QScreen>
#include <QTimer>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    TImage face;
    face.setWindowFlag(Qt::FramelessWindowHint);
    face.SetAutoSize(true);
    face.SetPicture(Skin::Load(QString::fromLatin1(Skin::Back)));
    QRect place(QPoint(0, 0), face.size());
    place.moveCenter(app.primaryScreen()->availableGeometry().center());
    face.setGeometry(place);
    face.show();
    QTimer::singleShot(0, &face, [&] {
        TAboutForm::ShowModalOver(&face);
        app.quit();
    });
    return app.exec();
}
