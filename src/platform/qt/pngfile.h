#pragma once
// PNG output of a drawn surface. The file is written beside its target under a temporary name
// and renamed over it when complete, so a failure never leaves a partial or damaged file.
#include <string>

class QImage;

namespace lmv {

class QImageCanvas;

// False, with the reason in *error when given, if the image is empty or the file cannot be
// written; an existing file at path is then untouched.
bool savePng(const QImage& image, const std::string& path, std::string* error = nullptr);
bool savePng(QImageCanvas& canvas, const std::string& path, std::string* error = nullptr);

}  // namespace lmv
