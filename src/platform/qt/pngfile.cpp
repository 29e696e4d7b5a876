#include "platform/qt/pngfile.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/files.h"
#include "platform/qt/qimagecanvas.h"

namespace lmv {
namespace {

bool fail(std::string* error, std::string text) {
  if (error) *error = std::move(text);
  return false;
}

}  // namespace

bool savePng(const QImage& image, const std::string& path, std::string* error) {
  if (image.isNull()) return fail(error, "Empty image, nothing written to " + path);
  // Encoded in memory first, so the file is only created once there is something to put in it.
  QByteArray bytes;
  QBuffer buffer(&bytes);
  if (!buffer.open(QIODevice::WriteOnly) || !image.save(&buffer, "PNG"))
    return fail(error, "Could not encode PNG for " + path);
  errno = 0;
  AtomicFile file(path);
  if (!file.stream())
    return fail(error, "Could not write " + path + ": " + std::strerror(errno ? errno : EIO));
  if (std::fwrite(bytes.constData(), 1, size_t(bytes.size()), file.stream()) !=
      size_t(bytes.size()))
    return fail(error, "Could not write " + path + ": " + std::strerror(errno ? errno : EIO));
  errno = 0;
  if (!file.commit())
    return fail(error, "Could not write " + path + ": " + std::strerror(errno ? errno : EIO));
  return true;
}

bool savePng(QImageCanvas& canvas, const std::string& path, std::string* error) {
  return savePng(canvas.image(), path, error);
}

}  // namespace lmv
