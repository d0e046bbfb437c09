// The main window's four commands, as a face's buttons call them.  The face turns a click (or
// Return or Space on the focused button) into the call, inside its own error report, and holds
// no rule of its own; what each command does is written once, beside this.
#pragma once

namespace bukvotok {

class WindowCommands {
public:
    virtual ~WindowCommands() = default;

    virtual void Button2Click() = 0;  // "Загрузить словарь"
    virtual void Button4Click() = 0;  // "Найти совпадения"
    virtual void Button5Click() = 0;  // "Сохранить найденное в файл"
    virtual void Button1Click() = 0;  // "Очистить"
};

}  // namespace bukvotok
