#pragma once

// After each device information event: on a system whose language is not Chinese (PRC), tells
// the user that some functions need it and offers the regional settings, until told to stop.
void locale_prompt();
// The same for a given system language identifier.
void locale_prompt(int systemLanguageId);
