#pragma once
#include <string>

namespace quib {

// The notice line in the top-left corner. "|" separates lines. Anyone may
// set Text; the overlay shows a new text for 5000 ms and fades it out.
struct MessageLine {
  std::string MessageText;
  int MessageTime = 0;  // ms left
};

}  // namespace quib
