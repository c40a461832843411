# -DQUILLORY_SANITIZE=address,undefined turns the sanitizers on for every target.
set(QUILLORY_SANITIZE "" CACHE STRING "Comma-separated sanitizers (address, undefined, ...)")
if(QUILLORY_SANITIZE)
    add_compile_options(-fsanitize=${QUILLORY_SANITIZE} -fno-omit-frame-pointer -fno-sanitize-recover=all)
    add_link_options(-fsanitize=${QUILLORY_SANITIZE})
endif()
