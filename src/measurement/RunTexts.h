// Texts the run shows, exactly as the instrument's users know them.
#pragma once

namespace vantorix {

inline constexpr char kCommunicationErrorTitle[] = "Communication Error";
inline constexpr char kNotRespondingText[] =
    "The VantorixTM is not responding.  Do you want to try again?";
inline constexpr char kPrimingText[] =
    "Prepare an empty plate for Pump priming, Click 'OK' to proceed...";
inline constexpr char kCancelledText[] = "You have cancelled this run.";
// A dataset that ended without a reading of any of its selected wells (dataset, wells).
inline constexpr char kNoReadingsText[] =
    "Dataset %1 ended without a reading of any of its %2 selected wells, so it was no "
    "measurement: what came over the line was not the instrument's answers. Check that the port "
    "is the one the instrument is on and that the line settings (Settings > Communications) "
    "match the instrument's.";
// The file the run's data was meant for, and why writing it failed.
inline constexpr char kSaveFailedText[] = "The data could not be saved to %1: %2";

}  // namespace vantorix
