// Random bytes through the line splitter, then random edits of the line list,
// both checked against a plain vector of strings: the split follows the rule
// (CR LF, lone CR and lone LF each end a line; the end adds none), a text
// with CR LF breaks only and a break at its end joins back to the same bytes,
// and every edit (replace, delete, append, join with the next line, with
// texts that may be lines of the list itself) leaves the same lines as on the
// vector, with index failures exactly where the vector's index is invalid.
//
// Input (read by FuzzedDataProvider): the text first, then the edits.

#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "convert/string_list.h"
#include "platform/exceptions.h"
#include "support/reference_lines.h"

namespace {


// Every CR is followed by an LF, every LF follows a CR, and the text is
// empty or ends with its break.
bool CrLfOnly(std::string_view bytes) {
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] == '\r' && (i + 1 == bytes.size() || bytes[i + 1] != '\n')) return false;
    if (bytes[i] == '\n' && (i == 0 || bytes[i - 1] != '\r')) return false;
  }
  return bytes.empty() || bytes.back() == '\n';
}

void Check(bool condition) {
  if (!condition) std::abort();
}

void CheckSame(const TStringList& list, const std::vector<std::string>& model) {
  Check(list.Count() == static_cast<int32_t>(model.size()));
  for (std::size_t i = 0; i < model.size(); ++i) {
    Check(list.Strings(static_cast<int32_t>(i)) == model[i]);
  }
}

bool Valid(int32_t index, const std::vector<std::string>& model) {
  return index >= 0 && static_cast<std::size_t>(index) < model.size();
}

// Runs op; it must raise EStringListError exactly when `fails`, naming the
// index when one is given.
template <typename Op>
void Expect(bool fails, Op op, const int32_t* index = nullptr) {
  try {
    op();
  } catch (const EStringListError& e) {
    Check(fails);
    // The C locale has no Japanese: the message stays in UTF-8.
    Check(!index || e.Message == "リストのインデックスが範囲を超えています (" +
                                     std::to_string(*index) + ")");
    return;
  }
  Check(!fails);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  const std::string bytes =
      input.ConsumeBytesAsString(input.ConsumeIntegralInRange<std::size_t>(0, size));

  TStringList list;
  // An exactly sized copy, so that a read past its end is caught.
  std::unique_ptr<char[]> copy(new char[bytes.size()]);
  if (!bytes.empty()) std::memcpy(copy.get(), bytes.data(), bytes.size());
  list.SetText(std::move(copy), bytes.size());
  std::vector<std::string> model = ReferenceLines(bytes);
  CheckSame(list, model);
  if (CrLfOnly(bytes)) {
    std::string joined;
    for (int32_t i = 0; i < list.Count(); ++i) joined.append(list.Strings(i)).append("\r\n");
    Check(joined == bytes);
  }

  while (input.remaining_bytes() > 0) {
    const int32_t count = static_cast<int32_t>(model.size());
    const int32_t index = input.ConsumeIntegralInRange<int32_t>(-2, count + 1);
    const int op = input.ConsumeIntegralInRange(0, 4);
    // The text of an edit: fresh bytes, or for a replace or a join (which
    // allow it) a line of the list itself.
    std::string own;
    std::string_view text;
    if ((op == 0 || op == 3) && count > 0 && input.ConsumeBool()) {
      text = list.Strings(input.ConsumeIntegralInRange<int32_t>(0, count - 1));
    } else {
      own = input.ConsumeRandomLengthString(64);
      text = own;
    }
    const std::string text_copy(text);
    switch (op) {
      case 0:
        Expect(!Valid(index, model), [&] { list.SetStrings(index, text); }, &index);
        if (Valid(index, model)) model[static_cast<std::size_t>(index)] = text_copy;
        break;
      case 1:
        Expect(!Valid(index, model), [&] { list.Delete(index); }, &index);
        if (Valid(index, model)) model.erase(model.begin() + index);
        break;
      case 2:
        list.Add(text);
        model.push_back(text_copy);
        break;
      case 3: {
        const char separator = static_cast<char>(input.ConsumeIntegral<uint8_t>());
        const bool fails = !Valid(index, model) || !Valid(index + 1, model);
        Expect(fails, [&] { list.JoinWithNext(index, text, separator); });
        if (!fails) {
          const std::size_t i = static_cast<std::size_t>(index);
          model[i] = text_copy + separator + model[i + 1];
          model.erase(model.begin() + index + 1);
        }
        break;
      }
      default:
        Expect(!Valid(index, model), [&] { (void)list.Strings(index); }, &index);
        break;
    }
    CheckSame(list, model);
  }
  return 0;
}
