// Records that must stay byte for byte as they were (wire transcripts, files written): the
// guard that a change to how the program is built changes nothing it does.
#pragma once

#include <QString>

namespace vantorix::test {

// Compares text with the record at TEST_SOURCE_DIR/relativePath, reporting the first line that
// differs; with VANTORIX_UPDATE_GOLDEN set it rewrites the record instead.
void expectGolden(const QString& relativePath, const QString& text);

}  // namespace vantorix::test
