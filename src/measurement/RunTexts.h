// Texts the run shows, exactly as the instrument's users know them.
#pragma once

namespace vantorix {

inline constexpr char kCommunicationErrorTitle[] = "Communication Error";
inline constexpr char kNotRespondingText[] =
    "The VantorixTM is not responding.  Do you want to try again?";
inline constexpr char kPrimingText[] =
    "Prepare an empty plate for Pump priming, Click 'OK' to proceed...";
inline constexpr char kCancelledText[] = "You have cancelled this run.";
// The file the run's data was meant for, and why writing it failed.
inline constexpr char kSaveFailedText[] = "The data could not be saved to %1: %2";

}  // namespace vantorix
