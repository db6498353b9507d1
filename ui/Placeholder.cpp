// Keeps the UI library non-empty until the windows arrive.
namespace {
[[maybe_unused]] int placeholder = 0;
}
