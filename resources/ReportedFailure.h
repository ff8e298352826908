// Thrown by a construction that has already logged why it failed: the resource factory turns
// it into null without logging again.
#pragma once

struct ReportedFailure {};
