#include "convert/globals.h"

std::string CurrentFileName;
TStringList* FileList = nullptr;
int32_t ProcessedCount = 0;
std::string DateTimeFormat;
char Separator = 0;
std::string CurrentLine;
int32_t LineIndex = 0;
std::vector<std::string>* DeferredConversionErrors = nullptr;
