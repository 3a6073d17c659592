// placeholder: replaced by the engine
