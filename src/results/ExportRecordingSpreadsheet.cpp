#include "results/ExportRecordingSpreadsheet.h"

#include <algorithm>

namespace vantorix {

const ExportCell* SpreadsheetRecord::cell(int sheet, int row, int column) const {
    if (sheet < 1 || sheet > static_cast<int>(sheets.size())) return nullptr;
    const auto& cells = sheets[sheet - 1];
    const auto it = cells.find({row, column});
    return it == cells.end() ? nullptr : &it->second;
}

int SpreadsheetRecord::usedRows(int sheet) const {
    if (sheet < 1 || sheet > static_cast<int>(sheets.size())) return 0;
    const auto& cells = sheets[sheet - 1];
    int rows = 0;
    for (const auto& [at, value] : cells) rows = std::max(rows, at.first);
    return rows;
}

namespace {

class RecordingApp;

class RecordingSheet : public SpreadsheetSheet {
  public:
    RecordingSheet(RecordingApp& app, int index) : app_(app), index_(index) {}
    bool setText(int row, int column, const QString& text) override {
        return set(row, column, {ExportCell::Kind::Text, text, 0});
    }
    bool setInteger(int row, int column, qint64 value) override {
        return set(row, column, {ExportCell::Kind::Integer, {}, static_cast<double>(value)});
    }
    bool setNumber(int row, int column, double value) override {
        return set(row, column, {ExportCell::Kind::Number, {}, value});
    }

  private:
    bool set(int row, int column, const ExportCell& value);
    RecordingApp& app_;
    int index_;
};

class RecordingApp : public SpreadsheetApp {
  public:
    RecordingApp(std::shared_ptr<SpreadsheetRecord> record, RecordingFailures failures)
        : record_(std::move(record)), failures_(failures) {
        record_->operations << QStringLiteral("create");
    }
    bool setCaption(const QString& caption) override {
        if (!operation("setCaption")) return false;
        record_->caption = caption;
        return true;
    }
    bool addWorkbook() override {
        if (!operation("addWorkbook")) return false;
        for (int i = 0; i < failures_.sheetsInNewWorkbook; ++i) addSheet();
        return true;
    }
    bool setVisible(bool visible) override {
        if (!operation("setVisible")) return false;
        record_->visible = visible;
        return true;
    }
    SpreadsheetSheet* worksheet(int index) override {
        if (!call() || index < 1 || index > static_cast<int>(sheets_.size())) return nullptr;
        return sheets_[index - 1].get();
    }
    bool addWorksheet() override {
        if (!operation("addWorksheet") || sheets_.empty()) return false;
        addSheet();
        return true;
    }
    bool release() override {
        if (!operation("release")) return false;
        record_->released = true;
        return true;
    }
    QString failureDetail() const override {
        return failing_ ? QStringLiteral("injected failure") : QString();
    }

    // Counts one call; false once the injected failure point has passed.
    bool call() {
        if (failures_.failAfterCalls >= 0 && calls_ >= failures_.failAfterCalls) failing_ = true;
        ++calls_;
        return !failing_;
    }
    SpreadsheetRecord& record() { return *record_; }

  private:
    bool operation(const char* name) {
        if (!call()) return false;
        record_->operations << QString::fromLatin1(name);
        return true;
    }
    void addSheet() {
        sheets_.push_back(
            std::make_unique<RecordingSheet>(*this, static_cast<int>(sheets_.size()) + 1));
        record_->sheets.emplace_back();
    }

    std::shared_ptr<SpreadsheetRecord> record_;
    RecordingFailures failures_;
    std::vector<std::unique_ptr<RecordingSheet>> sheets_;
    int calls_ = 0;
    bool failing_ = false;
};

bool RecordingSheet::set(int row, int column, const ExportCell& value) {
    if (!app_.call() || row < 1 || column < 1) return false;
    auto& cells = app_.record().sheets[index_ - 1];
    if (value.kind == ExportCell::Kind::Text && value.text.isEmpty())
        cells.erase({row, column});
    else
        cells[{row, column}] = value;
    ++app_.record().cellWrites;
    return true;
}

}  // namespace

SpreadsheetFactory recordingSpreadsheet(std::shared_ptr<SpreadsheetRecord> record,
                                        RecordingFailures failures) {
    return [record, failures]() -> std::unique_ptr<SpreadsheetApp> {
        if (failures.creationFails) return nullptr;
        return std::make_unique<RecordingApp>(record, failures);
    };
}

}  // namespace vantorix
