#include "app/CliAnalysisOptions.h"

#include <QSaveFile>
#include <QStringList>

namespace vantorix::cli {

QString readModelOption(const QString& command, const QString& option, const QString& value,
                        CurveModel& model) {
    const auto known = curveModelFromKey(value);
    if (known) model = *known;
    return known ? QString()
                 : QStringLiteral("%1: %2 needs linear, loglog, 4pl or 5pl").arg(command, option);
}

QString readWeightOption(const QString& command, const QString& value, Weighting& weighting) {
    const auto known = weightingFromKey(value);
    if (known) weighting = *known;
    return known ? QString() : QStringLiteral("%1: --weight needs none, 1/y or 1/y2").arg(command);
}

QString writeTextFile(const QString& path, const QString& text) {
    QSaveFile file(path);
    const auto failure = [&path, &file] {
        return QStringLiteral("cannot write %1: %2").arg(path, file.errorString());
    };
    if (!file.open(QIODevice::WriteOnly)) return failure();
    const QByteArray bytes = text.toUtf8();
    // A full disk shows when the buffer is flushed; nothing may be committed then.
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        const QString error = failure();
        file.cancelWriting();
        return error;
    }
    return file.commit() ? QString() : failure();
}

}  // namespace vantorix::cli
