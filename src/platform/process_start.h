// What the process sets up before anything else: the user's locale for the
// C library, and failures reported as failures rather than ending the
// process (a write past the file-size limit, a crash under a debugger).
#pragma once

void SetUpProcess();
