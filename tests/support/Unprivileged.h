#pragma once
// The superuser writes to any file whatever its permissions say, so what a person may not write
// can only be checked by someone who is not the superuser.

// When the tests run as root, runs the current test again in a child process as the user
// "nobody", records a failure here unless it passed there, and returns true: the caller then
// returns without running its checks. Returns false when the caller is not root, so that its
// checks run here and permissions bind it.
bool RanAsAnUnprivilegedUser();
