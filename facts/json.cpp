#include "facts/json.h"

#include <array>
#include <cstdint>
#include <nlohmann/json.hpp>
#include <optional>

#include "platform/text.h"

namespace facts {
namespace {

using Object = nlohmann::ordered_json;

// name: text, and where the text is not UTF-8, name_base64: its bytes.
void PutText(Object& object, const std::string& name, const std::string& text) {
  if (IsUtf8(text)) {
    object[name] = text;
    return;
  }
  object[name] = RepairedUtf8(text);
  object[name + "_base64"] = Base64(text);
}

void PutText(Object& object, const std::string& name, const std::optional<std::string>& text) {
  if (text) {
    PutText(object, name, *text);
  } else {
    object[name] = nullptr;
  }
}

void PutNumber(Object& object, const std::string& name,
               const std::optional<std::uint64_t>& number) {
  if (number) {
    object[name] = *number;
  } else {
    object[name] = nullptr;
  }
}

}  // namespace

bool IsUtf8(std::string_view text) {
  while (!text.empty()) {
    const std::size_t length = platform::Utf8SequenceLength(text);
    if (length == 0) {
      return false;
    }
    text.remove_prefix(length);
  }
  return true;
}

std::string RepairedUtf8(std::string_view text) {
  std::string repaired;
  repaired.reserve(text.size());
  while (!text.empty()) {
    std::size_t length = platform::Utf8SequenceLength(text);
    if (length == 0) {
      repaired += "\xEF\xBF\xBD";  // U+FFFD for the one byte
      length = 1;
    } else {
      repaired.append(text.substr(0, length));
    }
    text.remove_prefix(length);
  }
  return repaired;
}

std::string Base64(std::string_view bytes) {
  constexpr std::string_view kAlphabet =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string encoded;
  encoded.reserve((bytes.size() + 2) / 3 * 4);
  for (std::size_t i = 0; i < bytes.size(); i += 3) {
    std::uint32_t group = static_cast<unsigned char>(bytes[i]) << 16U;
    if (i + 1 < bytes.size()) {
      group |= static_cast<unsigned char>(bytes[i + 1]) << 8U;
    }
    if (i + 2 < bytes.size()) {
      group |= static_cast<unsigned char>(bytes[i + 2]);
    }
    encoded += kAlphabet[(group >> 18U) & 63U];
    encoded += kAlphabet[(group >> 12U) & 63U];
    encoded += i + 1 < bytes.size() ? kAlphabet[(group >> 6U) & 63U] : '=';
    encoded += i + 2 < bytes.size() ? kAlphabet[group & 63U] : '=';
  }
  return encoded;
}

std::string Json(const Facts& facts) {
  Object document;
  document["format"] = kFormat;
  PutText(document, "computer_name", facts.computerName);
  PutText(document, "user_name", facts.userName);

  Object os;
  PutText(os, "platform", facts.platform);
  os["major"] = facts.major;
  os["minor"] = facts.minor;
  document["os"] = std::move(os);

  Object processor;
  PutText(processor, "name", facts.processor);
  processor["count"] = facts.processors;
  processor["active_mask"] = facts.activeMask;
  document["processor"] = std::move(processor);

  Object memory;
  memory["used_percent"] = facts.usedPercent;
  memory["total_bytes"] = facts.totalBytes;
  memory["available_bytes"] = facts.availableBytes;
  document["memory"] = std::move(memory);

  Object directories;
  PutText(directories, "windows", facts.windowsDirectory);
  PutText(directories, "system", facts.systemDirectory);
  PutText(directories, "temp", facts.tempDirectory);
  document["directories"] = std::move(directories);

  Object keyboard;
  PutText(keyboard, "type", facts.keyboardType);
  keyboard["function_keys"] = facts.functionKeys;
  document["keyboard"] = std::move(keyboard);

  if (facts.drives) {
    Object drives = Object::array();
    for (const Drive& drive : *facts.drives) {
      Object entry;
      PutText(entry, "root", drive.root);
      PutText(entry, "kind", drive.kind);
      PutNumber(entry, "total_bytes", drive.totalBytes);
      PutNumber(entry, "free_bytes", drive.freeBytes);
      PutText(entry, "label", drive.label);
      PutText(entry, "serial", drive.serial);
      drives.push_back(std::move(entry));
    }
    document["drives"] = std::move(drives);
  } else {
    document["drives"] = nullptr;  // the list cannot be read, which is not "no drives"
  }
  return document.dump(2) + "\n";
}

}  // namespace facts
