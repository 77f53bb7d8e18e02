// Writes the program's icon as PNG files for the desktop entry, one per size
// of the icon theme: write_icons DIRECTORY writes DIRECTORY/SIZE/optascope.png.
#include <QDir>
#include <QImage>
#include <cstdio>

#include "platform/qt/qt_images.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: write_icons DIRECTORY\n");
    return 2;
  }
  const QDir out(QString::fromLocal8Bit(argv[1]));
  for (int size : {16, 32, 48, 64, 128, 256}) {
    const QString dir = out.filePath(QString::number(size));
    if (!QDir().mkpath(dir) ||
        !opta::qt::ProgramIconImage(size).save(dir + QStringLiteral("/optascope.png"))) {
      std::fprintf(stderr, "write_icons: cannot write into %s\n", qPrintable(dir));
      return 1;
    }
  }
  return 0;
}
