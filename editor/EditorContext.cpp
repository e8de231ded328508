#include "editor/EditorContext.h"

#include "model/Prompts.h"

#include <exception>

void runGuarded(Prompts &prompts, const std::function<void()> &handler)
{
    try {
        handler();
    } catch (const std::exception &e) {
        prompts.error(QString::fromUtf8(e.what()));
    }
}

void EditorContext::guarded(const std::function<void()> &handler) const { runGuarded(prompts, handler); }
