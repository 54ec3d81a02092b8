message(FATAL_ERROR "telvarim: this build carries the demo keys of keys/; build with -DTELVARIM_KEYS_DIR=<your keys> "
                    "for a deployment, or -DTELVARIM_PACOTE_DEMO=ON to package the demo")
