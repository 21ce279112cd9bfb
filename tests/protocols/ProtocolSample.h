// A protocol's text as the program writes it, written out by hand: every kind of line once.
#pragma once

#include <QString>

namespace vantorix::test {

// clang-format off
inline const QString kSampleProtocol = QString::fromUtf8(R"(# Vantorix assay protocol: one "key = value" a line; lines starting with # are comments.
vantorix-protocol = 1
name = Glow ELISA (plate 2)
runs = repeated
repeats = 3
delay = 60
pre-inject = 0
post-inject = 20
pump1 = 120
pump2 = 130
prime1 = 2
prime2 = 0
dwell = 500
inject-delay = 250
reaction = flash
sensitive = on
model = 5pl
weighting = 1/y2
cv-limit = 15
recovery-low = 85
recovery-high = 115
max-blank-cv = off
min-r2 = 0.99
min-zprime = 0.5
# Wells read: x is read, . is left out.
wells =
   1  2  3  4  5  6  7  8  9 10 11 12
A  x  x  x  x  x  x  x  x  x  x  x  x
B  x  x  x  .  .  .  .  .  .  .  .  .
C  .  .  .  .  .  .  .  .  .  .  .  .
D  .  .  .  .  .  .  .  .  .  .  .  .
E  .  .  .  .  .  .  .  .  .  .  .  .
F  .  .  .  .  .  .  .  .  .  .  .  .
G  .  .  .  .  .  .  .  .  .  .  .  .
H  .  .  .  .  .  .  .  .  .  .  .  .
# Layout: . empty, B blank, S standard, P positive control, N negative control, U sample.
layout =
   1  2  3  4  5  6  7  8  9 10 11 12
A  B  B  S  S  .  .  .  .  .  .  .  .
B  U  P  N  .  .  .  .  .  .  .  .  .
C  .  .  .  .  .  .  .  .  .  .  .  .
D  .  .  .  .  .  .  .  .  .  .  .  .
E  .  .  .  .  .  .  .  .  .  .  .  .
F  .  .  .  .  .  .  .  .  .  .  .  .
G  .  .  .  .  .  .  .  .  .  .  .  .
H  .  .  .  .  .  .  .  .  .  .  .  .
A3.name = Std 1
A3.concentration = 0.1
A4.name = Std 2
A4.concentration = 2.5e-05
A4.excluded = bubble in well
B1.name = Patient 7
B1.dilution = 2
)");
// clang-format on

// sha256sum of the text above.
inline const char* const kSampleProtocolSha256 =
    "d8b9559b5f5cff0929fbf1a6e72c914ff2eeeb038194bf1c963b6719688c8612";

}  // namespace vantorix::test
