#pragma once

#include <QString>
#include <QStringList>

namespace emberlin {

// The extensions of disc images, in the order the window names them: iso,
// img, dmg, toast.
const QStringList& discImageExtensions();

// Whether a path names a disc image by its last extension, compared exactly:
// the one rule for drops, opened files and files handed over by a second
// launch.
bool isDiscImageName(QString path);

// The extensions for people, in the user's language: ".iso, .img, .dmg or
// .toast".
QString discImageExtensionChoice();

// A file dialog's filter for disc images: "Disc images (*.iso *.img *.dmg
// *.toast)".
QString discImageFilter();

} // namespace emberlin
