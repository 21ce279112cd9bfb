// What the firmware download asks of the dialog (or of the command line): the download
// panel's labels and buttons, notices, and the end of a download.
#pragma once

#include <QString>

namespace vantorix {

class FirmwareFrontEnd {
  public:
    virtual ~FirmwareFrontEnd() = default;
    // lblRx: "Preparing Luminometer...", "37%", "Almost done...".
    virtual void setStatusText(const QString& text) = 0;
    // lblRx and lblPleaseWait together.
    virtual void setStatusVisible(bool visible) = 0;
    virtual void setStartCancelCaption(const QString& caption) = 0;
    virtual void setDoneEnabled(bool enabled) = 0;
    // Diagnostics: Label2 ("1" once the receiver announced itself), Label3 (last block number).
    virtual void setReceiverLabel(const QString& text) { (void)text; }
    virtual void setBlockLabel(const QString& text) { (void)text; }
    // The image about to be sent: its size and the expected transfer time, shown before
    // anything goes to the instrument.
    virtual void announceImage(const QString& text) { (void)text; }
    // A notice with an OK button.
    virtual void inform(const QString& text) = 0;
    // A failure; the download is back to idle when this is called.
    virtual void reportError(const QString& text) = 0;
    // The new firmware was sent and started: says "The firmware has been updated." and, in
    // the dialog, closes it.
    virtual void firmwareUpdated() = 0;
    // A cancel or a failure brought the download back to idle.
    virtual void returnedToIdle() {}
    // A download of `imagePath` ended, before any of the calls above for its end: outcome is
    // "sent", "failed: <why>" or "cancelled".
    virtual void transferEnded(const QString& imagePath, const QString& outcome) {
        (void)imagePath;
        (void)outcome;
    }
};

}  // namespace vantorix
