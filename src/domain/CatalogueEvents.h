#pragma once

#include <functional>

/// Tells the open windows of the process that the catalogue changed: every
/// committed save or delete of a catalogue entry publishes, and each window
/// that listens brings its trees and lists up to date.
namespace CatalogueEvents {

using TListener = std::function<void()>;

/// Registers `listener`; the number returned ends it (Unsubscribe).
int Subscribe(TListener listener);
void Unsubscribe(int token);
/// Calls every listener, in the order they came. A listener may subscribe
/// or unsubscribe while it runs; one added then is called from the next
/// change on.
void Publish();
/// The listeners registered now (each open window that follows the
/// catalogue holds one; a closed window none).
int ListenerCount();

}  // namespace CatalogueEvents
