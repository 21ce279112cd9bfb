// A text file the command line writes: UTF-8, never left half written, and put in place only
// once every file of the command is written.
#pragma once

#include <QSaveFile>
#include <QString>

namespace vantorix::cli {

// A text file written beside its path, put in place only by commit(); one never committed is
// dropped, and whatever stood at path before is kept.
class PendingTextFile {
  public:
    explicit PendingTextFile(const QString& path) : path_(path), file_(path) {}
    // Empty when the text is written in full, else why not.
    QString write(const QString& text);
    // Empty when the file now stands at its path, else why not.
    QString commit();

  private:
    QString failure() const;
    QString path_;
    QSaveFile file_;
};

}  // namespace vantorix::cli
